// The real plug-in in our host, in install trees laid out like a player installation.
#include <gtest/gtest.h>

#include "tests/common/SettingsKeys.h"

#include <windows.h>

#include <cstdio>
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

// The milliseconds at the start of what the host printed after "host: time NAME ", or -1.
double timePrinted(const HostRun& run, const std::string& name) {
    const std::string text = printed(run, "time " + name);
    double ms = -1;
    char unit[8] = {};
    if (std::sscanf(text.c_str(), "%lf %7s", &ms, unit) != 2 ||
        std::string(unit).rfind("ms", 0) != 0)
        return -1;
    return ms;
}

TEST(HostRun, TimesTheStartEachSwitchToTheFrameThatShowsItAndQuit) {
    InstallTree tree;
    tree.installTestHooksPlugin();
    tree.installModels();
    // A window beside the player with everything off: only what the switches bring shows.
    writeFileText(tree.settingsPath(),
                  "[Vizorama]\r\ndimResolution=2x2\r\ndimLeft=380\r\ndimTop=100\r\nlhtOnOff=0\r\n"
                  "oscOnOff=0\r\nvumOnOff=0\r\ntofOnOff=0\r\nmdlOnOff=0\r\nbgrOnOff=0\r\n");
    const std::string before = gScreenshotFolder + "\\switch-before.bmp";
    const std::string after = gScreenshotFolder + "\\switch-after.bmp";
    // The first switch is written before frame 4 is asked for; frame 3 is the last without it.
    HostRun run = runHost(tree.hostPath(),
                          "--flat-out --position 100,100 --time-calls --switch-after 3"
                          " --switch model-on:mdlOnOff=1,mdlName=Vizorama"
                          " --switch model-other:mdlName=Knot"
                          " --switch \"sky-on:bgrOnOff=1,bgrName=Late Afternoon\""
                          " --switch model-off:mdlOnOff=0"
                          " --screenshot-at \"3:" + before + "\" --screenshot-at \"4:" + after + "\"",
                          60000);
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_TRUE(run.boxes.empty());
    // Three frames after the start and after each of the four switches.
    EXPECT_NE(run.output.find("host: 15 frames"), std::string::npos) << run.output;

    EXPECT_GT(timePrinted(run, "init"), 0) << run.output;
    EXPECT_GE(timePrinted(run, "first-frame"), timePrinted(run, "init")) << run.output;
    EXPECT_NE(printed(run, "time first-frame").find("; model \"\", sky \"\""), std::string::npos)
        << run.output;
    const struct {
        const char* name;
        const char* shows;
    } kSwitches[] = {{"model-on", "; model \"Vizorama\", sky \"\""},
                     {"model-other", "; model \"Knot\", sky \"\""},
                     {"sky-on", "; model \"Knot\", sky \"Late Afternoon\""},
                     {"model-off", "; model \"\", sky \"Late Afternoon\""}};
    for (const auto& change : kSwitches) {
        const std::string name = std::string("switch ") + change.name;
        EXPECT_GT(timePrinted(run, name), 0) << run.output;
        const std::string line = printed(run, "time " + name);
        EXPECT_NE(line.find("(a plain frame "), std::string::npos) << line;
        EXPECT_NE(line.find(change.shows), std::string::npos) << line;
    }
    EXPECT_GE(timePrinted(run, "quit"), 0) << run.output;
    // The switches went into the file, and Quit kept them.
    const std::string text = readFileText(tree.settingsPath());
    EXPECT_EQ(settingsValue(text, "mdlName"), "Knot");
    EXPECT_EQ(settingsValue(text, "bgrName"), "Late Afternoon");
    EXPECT_EQ(settingsValue(text, "mdlOnOff"), "0");

    // On screen: the window is dark before the model is switched on, and the model's frame
    // shows it.
    Screenshot dark(before), lit(after);
    ASSERT_TRUE(dark.ok() && lit.ok());
    const double darkShare = dark.litShare(375, 100, 550, 232);
    const double litShare = lit.litShare(375, 100, 550, 232);
    EXPECT_LT(darkShare, 0.02);
    EXPECT_GT(litShare, darkShare + 0.05);

    // Switches need the timing, and a switch names itself and at least one key.
    for (const char* args : {"--switch a:mdlOnOff=1", "--time-calls --switch mdlOnOff=1",
                             "--time-calls --switch :mdlOnOff=1",
                             "--time-calls --switch a:mdlOnOff=1,=2",
                             "--time-calls --render-thread"}) {
        HostRun bad = runHost(tree.hostPath(), args);
        EXPECT_EQ(bad.exitCode, 2u) << args;
    }
}

}  // namespace
