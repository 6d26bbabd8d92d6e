// The real plug-in in our host, in install trees laid out like a player installation.
#include <gtest/gtest.h>

#include "tests/common/SettingsKeys.h"

#include <windows.h>

#include <sstream>

#include "tests/win32/WineSupport.h"

namespace {

// Replaces the file the way the utility does, so the plug-in never reads half of it.
void replaceFile(const std::string& path, const std::string& text) {
    writeFileText(path + ".new", text);
    MoveFileExA((path + ".new").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

TEST(HostRun, StartsWritesEveryKeyInOrderAndStops) {
    InstallTree tree;
    HostRun run = runHost(tree.hostPath(), "--frames 5 --flat-out");
    ASSERT_TRUE(run.started);
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_NE(run.output.find("host: 5 frames"), std::string::npos) << run.output;

    std::string text = readFileText(tree.settingsPath());
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "[Vizorama]\r");
    size_t i = 0;
    while (std::getline(lines, line) && i < 32) EXPECT_EQ(line.substr(0, line.find('=')), kSettingsWriteOrder[i++]);
    EXPECT_EQ(i, 32u);
    EXPECT_EQ(settingsValue(text, "vzrVersion"), "151");
    EXPECT_EQ(settingsValue(text, "dimResolution"), "1x1");
    EXPECT_EQ(settingsValue(text, "bgrName"), "Late Afternoon");
    EXPECT_EQ(settingsValue(text, "lhtAmbient"), "0x003f7fff");
    EXPECT_EQ(settingsValue(text, "lhtDiffuse"), "0x003f3f3f");
}

TEST(HostRun, QuitWritesTheSettingsAgainAndKeepsTheRestOfTheFile) {
    InstallTree tree;
    writeFileText(tree.settingsPath(),
                  "[Player]\r\nvolume=7\r\n\r\n[Vizorama]\r\nvzrVersion=120\r\ndimLeft=300\r\n"
                  "dimTop=400\r\nvumType=Beam\r\n");
    std::string atStart;
    HostRun run = runHost(tree.hostPath(), "--frames 80", 30000, [&](DWORD) {
        if (!atStart.empty()) return;
        std::string text = readFileText(tree.settingsPath());
        if (text.find("vzrVersion=151") == std::string::npos) return;
        // Init has written the file: change a geometry key behind the plug-in's back.
        atStart = text;
        std::string changed = text;
        changed.replace(changed.find("dimLeft="), 11, "dimLeft=777");
        replaceFile(tree.settingsPath(), changed + "addedByTest=1\r\n");
    });
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    ASSERT_FALSE(atStart.empty()) << "the settings were never written at start";
    std::string text = readFileText(tree.settingsPath());
    EXPECT_EQ(text.rfind("[Player]\r\nvolume=7\r\n\r\n[Vizorama]\r\nvzrVersion=151\r\n", 0), 0u);
    EXPECT_EQ(settingsValue(text, "dimLeft"), settingsValue(atStart, "dimLeft"));
    EXPECT_EQ(settingsValue(text, "dimTop"), "400");
    EXPECT_EQ(settingsValue(text, "vumType"), "Beam");
    EXPECT_EQ(settingsValue(text, "addedByTest"), "1");
}

TEST(HostRun, StartsAgainAfterQuitWithoutBeingReloaded) {
    InstallTree tree;
    HostRun run = runHost(tree.hostPath(), "--cycles 3 --frames 4 --flat-out");
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_NE(run.output.find("host: 12 frames"), std::string::npos) << run.output;
    EXPECT_EQ(settingsValue(readFileText(tree.settingsPath()), "vzrVersion"), "151");
}

TEST(HostRun, ConfigStartsTheUtilityFromTheConfigurationFolder) {
    InstallTree tree;
    tree.installConfigurator();
    const std::string marker = tree.configurationFolder() + "configurator-started.txt";
    auto starts = [&] {
        std::string text = readFileText(marker);
        return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    };

    HostRun run = runHost(tree.hostPath(), "--config-only");
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    ASSERT_TRUE(waitUntil([&] { return starts() == 1; }, 10000));
    std::string folder = tree.configurationFolder();
    folder.pop_back();
    std::string text = readFileText(marker);
    EXPECT_NE(text.find("cwd=" + folder + "|"), std::string::npos) << text;
    EXPECT_NE(text.find("vis_vzrm_c.exe|cmd="), std::string::npos) << text;

    // While the plug-in runs, from the player's own thread.
    run = runHost(tree.hostPath(), "--config --frames 40");
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_TRUE(waitUntil([&] { return starts() == 2; }, 10000));
    EXPECT_TRUE(run.boxes.empty());

    // The settings read after the start reach the running plug-in: a change made to the file
    // after Init is what Quit writes back.
    std::string changed;
    DeleteFileA(tree.settingsPath().c_str());  // so the first file seen is the one Init wrote
    run = runHost(tree.hostPath(), "--config-after 20 --frames 60", 30000, [&](DWORD) {
        if (!changed.empty()) return;
        std::string text = readFileText(tree.settingsPath());
        if (text.find("vumType=Double Fixed Point") == std::string::npos) return;
        changed = text;
        changed.replace(changed.find("vumType=Double Fixed Point"), 26, "vumType=Beam");
        replaceFile(tree.settingsPath(), changed);
    });
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_TRUE(waitUntil([&] { return starts() == 3; }, 10000));
    EXPECT_EQ(settingsValue(readFileText(tree.settingsPath()), "vumType"), "Beam");

    // Without the utility nothing is shown and the plug-in goes on.
    InstallTree bare;
    run = runHost(bare.hostPath(), "--config --frames 10");
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_TRUE(run.boxes.empty());
}

TEST(HostRun, SaysWhyThereIsNoPluginFolderWhenNeitherPlayerNorPluginHasOne) {
    // The plug-in is loaded from a folder without "vis_vzrm\" beside it, so only the search
    // for the player can give the plug-in folder.
    auto outside = [](const InstallTree& tree) {
        return " --plugin \"" + tree.placePluginIn("") + "\"";
    };
    InstallTree renamed("Player.exe");
    HostRun run = runHost(renamed.hostPath(), "--frames 2 --flat-out" + outside(renamed));
    EXPECT_EQ(run.exitCode, 0u) << run.output;  // the start goes on after the message
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].text, "Could not find Winamp.exe!");
    EXPECT_EQ(run.boxes[0].caption, "Error!");
    EXPECT_FALSE(run.boxes[0].hasOwner);

    InstallTree fits("Winamp.exe", 242);
    ASSERT_EQ(fits.hostPath().size(), 242u);
    run = runHost(fits.hostPath(), "--frames 2 --flat-out" + outside(fits));
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_TRUE(run.boxes.empty());

    InstallTree tooLong("Winamp.exe", 243);
    ASSERT_EQ(tooLong.hostPath().size(), 243u);
    run = runHost(tooLong.hostPath(), "--frames 2 --flat-out" + outside(tooLong));
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].text, "The VZRM path too long!");
    EXPECT_EQ(run.boxes[0].caption, "Error!");
    // In the player's own layout the folder beside the plug-in is the same folder, and its
    // path fits: no message.
    run = runHost(tooLong.hostPath(), "--frames 2 --flat-out");
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_TRUE(run.boxes.empty());

    // A host path that does not fit the buffer at all; the plug-in is loaded from a short
    // path, since the host's own folder is out of reach for most file functions.
    InstallTree beyond("Winamp.exe", 262), shortTree;
    ASSERT_EQ(beyond.hostPath().size(), 262u);
    run = runHost(beyond.hostPath(), "--frames 2 --flat-out" + outside(shortTree));
    if (!run.started) GTEST_SKIP() << "this system cannot start a program at a 262-character path";
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].text, "The Winamp.exe path too long!");
}

TEST(HostRun, ExplainsWhatItCannotRun) {
    InstallTree tree;
    HostRun run = runHost(tree.hostPath(), "--plugin C:\\absent\\vis_none.dll");
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_NE(run.output.find("cannot load the plug-in"), std::string::npos) << run.output;

    run = runHost(tree.hostPath(), "--plugin version.dll");
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_NE(run.output.find("not a visualisation plug-in"), std::string::npos) << run.output;

    writeFileText(tree.folder() + "broken.wav", "RIFF....WAVEjunk");
    run = runHost(tree.hostPath(), "--wav \"" + tree.folder() + "broken.wav\"");
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_NE(run.output.find("broken.wav"), std::string::npos) << run.output;

    run = runHost(tree.hostPath(), "--frames");
    EXPECT_EQ(run.exitCode, 2u);
    EXPECT_NE(run.output.find("usage:"), std::string::npos) << run.output;
}

}  // namespace
