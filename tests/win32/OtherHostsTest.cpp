// The real plug-in in hosts that are not the player: other names and folders, Render from an
// audio thread, the main window destroyed before Quit, calls out of the player's order.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "tests/win32/WineSupport.h"

namespace {

int linesIn(const std::string& path) {
    std::string text = readFileText(path);
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST(OtherHosts, ARenamedHostRenderingFromItsAudioThreadGetsEveryTextureAndNoMessage) {
    const std::string keys =
        "[Vizorama]\r\ndimResolution=2x2\r\ndimLeft=380\r\ndimTop=100\r\nbgrOnOff=1\r\n"
        "vumType=Beam\r\n";
    InstallTree player;
    player.installTestHooksPlugin();
    writeFileText(player.settingsPath(), keys);
    HostRun usual = runHost(player.hostPath(), "--frames 5 --flat-out");
    ASSERT_EQ(usual.exitCode, 0u) << usual.output;

    InstallTree tree("Player.exe");
    tree.installTestHooksPlugin();
    writeFileText(tree.settingsPath(), keys);
    std::string shot = gScreenshotFolder + "\\other-host-render-thread.bmp";
    HostRun run = runHost(tree.hostPath(), "--render-thread --frames 60 --position 100,100 "
                                           "--report-windows --screenshot \"" + shot + "\"");
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_TRUE(run.boxes.empty()) << run.boxes[0].text;
    EXPECT_NE(run.output.find("host: 60 frames"), std::string::npos) << run.output;
    // The named textures and the skybox, as many as in the player's own layout.
    EXPECT_GE(std::atoi(printed(run, "textures held").c_str()), 12) << run.output;
    EXPECT_EQ(printed(run, "textures held"), printed(usual, "textures held"));
    // The settings file beside the assets was read and written back.
    std::string text = readFileText(tree.settingsPath());
    EXPECT_EQ(settingsValue(text, "vzrVersion"), "151");
    EXPECT_EQ(settingsValue(text, "vumType"), "Beam");
    // Snapped to the right of the player, with the sky all over it.
    EXPECT_NE(reportedWindow(run, "Vizorama").find("rect=375,100,550,232"), std::string::npos)
        << run.output;
    EXPECT_GT(Screenshot(shot).litShare(375, 100, 550, 232), 0.5);
}

TEST(OtherHosts, APluginFolderAwayFromThePlayerIsFoundBesideThePlugin) {
    // A player in a folder of its own, without a plug-in folder there, loading our plug-in
    // from the tree: assets, settings and utility come from beside the plug-in.
    InstallTree tree;
    tree.installConfigurator();
    const std::string player = tree.folder() + "Player\\";
    makeFolders(player);
    CopyFileA(tree.hostPath().c_str(), (player + "Winamp.exe").c_str(), FALSE);
    const std::string args = " --plugin \"" + tree.folder() + "Plugins\\vis_vzrm.dll\"";
    HostRun run = runHost(player + "Winamp.exe", "--frames 5 --flat-out" + args);
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ(settingsValue(readFileText(tree.settingsPath()), "vzrVersion"), "151");
    run = runHost(player + "Winamp.exe", "--config-only" + args);
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_TRUE(waitUntil(
        [&] { return fileExists(tree.configurationFolder() + "configurator-started.txt"); },
        10000));

    // Once the player has a plug-in folder of its own, that one is used.
    makeFolders(player + "Plugins\\vis_vzrm\\Configurations\\");
    DeleteFileA(tree.settingsPath().c_str());
    run = runHost(player + "Winamp.exe", "--frames 5 --flat-out" + args);
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_TRUE(
        fileExists(player + "Plugins\\vis_vzrm\\Configurations\\vis_vzrm_config.ini"));
    EXPECT_FALSE(fileExists(tree.settingsPath()));
}

TEST(OtherHosts, SurvivesWindowsDestroyedBeforeQuitAndCallsOutOfOrder) {
    InstallTree tree;
    tree.installTestHooksPlugin();
    tree.installConfigurator();
    const std::string marker = tree.configurationFolder() + "configurator-started.txt";

    // Config before every Init; the main window, and with it the plug-in's, destroyed before
    // each Quit while the audio thread still delivers. Quit writes the settings all the same:
    // one write at each start, one at each stop.
    HostRun run = runHost(tree.hostPath(),
                          "--render-thread --destroy-before-quit --config-before-init "
                          "--cycles 2 --frames 20 --report-windows --report-class Vizorama");
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_NE(run.output.find("host: 40 frames"), std::string::npos) << run.output;
    // The textures went with the window, while its context could still delete them.
    EXPECT_EQ(printed(run, "textures held"), "0") << run.output;
    size_t firstQuit = run.output.find("host: settings writes");
    EXPECT_EQ(printed(run, "settings writes"), "2") << run.output;
    EXPECT_EQ(printed(run, "settings writes", firstQuit + 1), "4") << run.output;
    EXPECT_NE(run.output.find("host: 0 plug-in windows"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("host: class Vizorama unregistered"), std::string::npos);
    EXPECT_EQ(settingsValue(readFileText(tree.settingsPath()), "vzrVersion"), "151");
    EXPECT_TRUE(waitUntil([&] { return linesIn(marker) == 2; }, 10000)) << linesIn(marker);

    // Quit after a failed Init: nothing left behind, the settings written at the start and again
    // at Quit.
    run = runHost(tree.hostPath(), "--fail-init-step 9 --quit-after-failed-init "
                                   "--report-windows --report-class Vizorama");
    EXPECT_EQ(run.exitCode, 1u) << run.output;
    ASSERT_EQ(run.boxes.size(), 1u);
    EXPECT_EQ(run.boxes[0].text, "SetPixelFormat() failed!\nCan't set format specified.");
    EXPECT_EQ(printed(run, "settings writes"), "2") << run.output;
    EXPECT_EQ(run.output.rfind("host: class Vizorama registered"), std::string::npos);

    // Quit without any Init leaves the user's file alone.
    const std::string mine = "[Vizorama]\r\nvumType=Beam\r\ndimResolution=3x3\r\n";
    writeFileText(tree.settingsPath(), mine);
    run = runHost(tree.hostPath(), "--quit-only --report-class Vizorama");
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ(printed(run, "settings writes"), "0") << run.output;
    EXPECT_EQ(readFileText(tree.settingsPath()), mine);
}

}  // namespace
