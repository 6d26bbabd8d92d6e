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

TEST(PluginFolder, FindsTheHostBesideTheExecutableOrSaysWhyNot) {
    ScratchFolder folder;
    platform::headless::setExecutableFolder(folder.path());
    platform::headless::takeMessages();

    EXPECT_EQ(findPluginFolder(), "");
    auto shown = platform::headless::takeMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Could not find Winamp.exe!");
    EXPECT_EQ(shown[0].caption, "Error!");
    EXPECT_EQ(shown[0].owner, nullptr);

    writeTextFile(folder.path() + "Winamp.exe", "");
    EXPECT_EQ(findPluginFolder(), folder.path() + "Plugins\\vis_vzrm\\");
    EXPECT_TRUE(platform::headless::takeMessages().empty());

    EXPECT_EQ(configurationFolder(), folder.path() + "Plugins\\vis_vzrm\\Configurations\\");
    platform::headless::setExecutableFolder(folder.path() + std::string(240, 'x') + "/");
    EXPECT_EQ(configurationFolder(), "");
    platform::headless::setExecutableFolder("");
}

}  // namespace
