#include <gtest/gtest.h>

#include <filesystem>

#include "frontend/Options.h"
#include "linux/Paths.h"
#include "platform/Platform.h"
#include "tests/native/TestFiles.h"

namespace {

TEST(Paths, FollowTheXdgRulesAndFindTheInstalledOrTheBuildsAssets) {
    UserFolders f = userFolders("/cfg", "/data/", "/st", "/home/me");
    EXPECT_EQ(f.config, "/cfg/vizorama/");
    EXPECT_EQ(f.windowFile(), "/st/vizorama/window");
    EXPECT_EQ(f.settingsFile(), "/cfg/vizorama/vis_vzrm_config.ini");
    EXPECT_EQ(f.models, "/data/vizorama/Models/");
    EXPECT_EQ(f.skyboxes, "/data/vizorama/Skyboxes/");
    // Unset, empty or relative values count as unset: the defaults below HOME.
    for (const char* unset : {static_cast<const char*>(nullptr), "", "relative/cfg"}) {
        f = userFolders(unset, unset, unset, "/home/me");
        EXPECT_EQ(f.config, "/home/me/.config/vizorama/");
        EXPECT_EQ(f.state, "/home/me/.local/state/vizorama/");
        EXPECT_EQ(f.models, "/home/me/.local/share/vizorama/Models/");
    }
    // Nothing at all: no settings file rather than one in the current folder.
    f = userFolders(nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(f.config.empty() && f.settingsFile().empty() && f.skyboxes.empty() &&
                f.windowFile().empty());

    ScratchFolder folder;
    EXPECT_EQ(dataFolderFor(folder.path() + "bin/", "/build/stage"), "/build/stage/");
    std::filesystem::create_directories(folder.path() + "share/vizorama");
    std::filesystem::create_directories(folder.path() + "bin");
    EXPECT_EQ(dataFolderFor(folder.path() + "bin/", "/build/stage/"),
              folder.path() + "bin/../share/vizorama/");

    EXPECT_TRUE(platform::makeFolders(folder.path() + "a/b/c/"));
    EXPECT_TRUE(std::filesystem::is_directory(folder.path() + "a/b/c"));
    EXPECT_TRUE(platform::makeFolders(folder.path() + "a/b/c"));  // already there
    writeTextFile(folder.path() + "file", "x");
    EXPECT_FALSE(platform::makeFolders(folder.path() + "file/sub/"));
}

TEST(Options, TakeTheirValuesAndRefuseWhatTheyCannotUse) {
    auto parse = [](std::vector<const char*> args, Options& o, std::string& error) {
        args.insert(args.begin(), "vizorama");
        return parseOptions(static_cast<int>(args.size()), args.data(), o, error);
    };
    Options o;
    std::string error;
    ASSERT_TRUE(parse({"--source", "mic", "--size", "640x480", "--flat-out", "--frames", "9",
                       "--fullscreen", "--frame-log", "log", "--display", "2"},
                      o, error));
    EXPECT_EQ(o.source, "mic");
    EXPECT_EQ(o.display, 2);
    EXPECT_TRUE(o.sizeGiven);
    EXPECT_EQ(o.width, 640);
    EXPECT_EQ(o.height, 480);
    EXPECT_TRUE(o.flatOut && o.fullScreen);
    EXPECT_EQ(o.frames, 9);
    EXPECT_EQ(o.frameLog, "log");
    Options defaults;
    EXPECT_TRUE(parse({}, defaults, error));
    EXPECT_TRUE(defaults.source.empty() && defaults.wav.empty() && !defaults.flatOut &&
                !defaults.sizeGiven && defaults.display == 0);
    ASSERT_TRUE(parse({"--wav", "a.wav", "--loop"}, o = Options(), error));
    EXPECT_TRUE(o.loop);
    EXPECT_EQ(o.wav, "a.wav");

    for (std::vector<const char*> bad : std::vector<std::vector<const char*>>{
             {"--wav"}, {"--frames", "0"}, {"--frames", "9x"}, {"--size", "640"},
             {"--size", "640x480x"}, {"--size", "8x8"}, {"--signal", "noise"}, {"--bogus"},
             {"--display", "0"}, {"--display", "1x"}, {"--display", ""},
             {"--wav", "a.wav", "--source", "mic"}}) {
        Options bad_options;
        error.clear();
        EXPECT_FALSE(parse(bad, bad_options, error)) << bad[0];
        EXPECT_FALSE(error.empty()) << bad[0];
    }
}

}  // namespace
