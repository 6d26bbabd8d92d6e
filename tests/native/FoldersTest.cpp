#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "platform/headless/PlatformHeadless.h"
#include "plugin/Folders.h"
#include "tests/native/TestFiles.h"

namespace {

// A host path of exactly length characters ending in "\Winamp.exe".
std::string hostPathOfLength(size_t length) {
    std::string path = "C:\\";
    path += std::string(length - path.size() - std::strlen("\\Winamp.exe"), 'p');
    return path + "\\Winamp.exe";
}

TEST(PluginFolder, IsThePluginsFolderBesideTheHostWithinThePathLimits) {
    PluginFolderResult r = pluginFolderFromHostPath("C:\\Player\\Winamp.exe");
    EXPECT_EQ(r.message, nullptr);
    EXPECT_EQ(r.folder, "C:\\Player\\Plugins\\vis_vzrm\\");

    r = pluginFolderFromHostPath(hostPathOfLength(242));
    EXPECT_EQ(r.message, nullptr);
    EXPECT_EQ(r.folder.size(), 242u - 10 + 17);

    r = pluginFolderFromHostPath(hostPathOfLength(243));
    EXPECT_STREQ(r.message, "The VZRM path too long!");
    EXPECT_EQ(r.folder, "");

    EXPECT_STREQ(pluginFolderFromHostPath(hostPathOfLength(259)).message,
                 "The VZRM path too long!");
    EXPECT_STREQ(pluginFolderFromHostPath(hostPathOfLength(260)).message,
                 "The Winamp.exe path too long!");
    EXPECT_STREQ(pluginFolderFromHostPath("").message, "Could not find Winamp.exe!");
}

TEST(PluginFolder, IsThePlayersWhenItExistsElseTheOneBesideThePluginsOwnFile) {
    ScratchFolder scratch;
    const std::string player = scratch.path() + "player/", own = scratch.path() + "own/";
    std::filesystem::create_directories(player);
    std::filesystem::create_directories(own + "vis_vzrm");
    const std::string playerFolder = player + "Plugins\\vis_vzrm\\";
    const std::string ownFolder = own + "vis_vzrm\\";

    // A player without the plug-in folder (another host, or the folder moved away): our own.
    PluginFolderResult r = choosePluginFolder(player + "Winamp.exe", own);
    EXPECT_EQ(r.folder, ownFolder);
    EXPECT_EQ(r.message, nullptr);
    r = choosePluginFolder("", own);
    EXPECT_EQ(r.folder, ownFolder);
    EXPECT_EQ(r.message, nullptr);
    // The player's path is too long for its folder, ours is not.
    r = choosePluginFolder(hostPathOfLength(243), own);
    EXPECT_EQ(r.folder, ownFolder);
    EXPECT_EQ(r.message, nullptr);

    // The player's layout wins whenever its folder is there.
    std::filesystem::create_directories(player + "Plugins/vis_vzrm");
    EXPECT_EQ(choosePluginFolder(player + "Winamp.exe", own).folder, playerFolder);

    // Neither: the player's answer as it always was, with its message if it has one.
    const std::string bare = scratch.path() + "bare/";
    r = choosePluginFolder("", bare);
    EXPECT_STREQ(r.message, "Could not find Winamp.exe!");
    EXPECT_STREQ(choosePluginFolder(hostPathOfLength(243), bare).message,
                 "The VZRM path too long!");
    r = choosePluginFolder(bare + "Winamp.exe", bare);
    EXPECT_EQ(r.folder, bare + "Plugins\\vis_vzrm\\");
    EXPECT_EQ(r.message, nullptr);
    // Our folder is taken while its path fits a buffer with its terminator.
    for (size_t length : {259u, 260u}) {
        std::string deep = scratch.path() + std::string(length - 9 - scratch.path().size() - 1,
                                                        'o') + "/";
        std::filesystem::create_directories(deep + "vis_vzrm");
        r = choosePluginFolder("", deep);
        EXPECT_EQ(r.folder.size(), length == 259 ? 259u : 0u);
        EXPECT_EQ(r.message != nullptr, length == 260);
    }
}

TEST(PluginFolder, SettingsAndUtilityLiveInTheConfigurationsFolderOfThePluginFolder) {
    InstallFolders f = installFoldersFor({"C:\\Elsewhere\\vis_vzrm\\", nullptr});
    EXPECT_EQ(f.pluginFolder, "C:\\Elsewhere\\vis_vzrm\\");
    EXPECT_EQ(f.configurationFolder, "C:\\Elsewhere\\vis_vzrm\\Configurations\\");
    EXPECT_EQ(f.settingsFile,
              "C:\\Elsewhere\\vis_vzrm\\Configurations\\vis_vzrm_config.ini");

    // A plug-in folder of 240 characters leaves no room for the settings file's path.
    f = installFoldersFor({std::string(231, 'p') + "vis_vzrm\\", nullptr});
    EXPECT_EQ(f.configurationFolder.size(), 255u);
    EXPECT_EQ(f.settingsFile, "");

    // Without a plug-in folder: the configuration folder below the executable, as always.
    ScratchFolder scratch;
    platform::headless::setExecutableFolder(scratch.path());
    f = installFoldersFor({"", "Could not find Winamp.exe!"});
    EXPECT_EQ(f.configurationFolder, scratch.path() + "Plugins\\vis_vzrm\\Configurations\\");
    EXPECT_STREQ(f.message, "Could not find Winamp.exe!");

    // The whole search: no player beside the executable, our folder beside our own file.
    std::filesystem::create_directories(scratch.path() + "own/vis_vzrm");
    platform::headless::setOwnModuleFolder(scratch.path() + "own/");
    f = findInstallFolders();
    EXPECT_EQ(f.settingsFile,
              scratch.path() + "own/vis_vzrm\\Configurations\\vis_vzrm_config.ini");
    EXPECT_EQ(f.message, nullptr);
    platform::headless::setOwnModuleFolder("");
    platform::headless::setExecutableFolder("");
    EXPECT_TRUE(platform::headless::takeMessages().empty());  // finding folders shows nothing
}

}  // namespace
