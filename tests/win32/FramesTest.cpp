// The installed plug-in drawing in our host as the player drives it: the default scene, the full
// scene (the model wearing the live picture of the player's window with "Motion Blur", the sky,
// the meter, the feathers and the pulsars), and Render from an audio thread with the windows
// destroyed before Quit. The screenshots are kept (frames-*.bmp): the 32-bit tier compares those
// of the shipped 32-bit files with the 64-bit build's.
#include <gtest/gtest.h>

#include <windows.h>

#include "tests/win32/WineSupport.h"

namespace {

// A 2x2 window snapped to the right of the player at (100, 100): 550 x 232 at (375, 100).
const std::string kWindowed = "[Vizorama]\r\ndimResolution=2x2\r\ndimLeft=380\r\ndimTop=100\r\n";
constexpr int kLeft = 375, kTop = 100, kWidth = 550, kHeight = 232;

// Runs the host in tree for 12 frames, a screenshot of frame 10 saved as frames-NAME.bmp.
HostRun drawFrames(const InstallTree& tree, const std::string& name) {
    const std::string shot = gScreenshotFolder + "\\frames-" + name + ".bmp";
    DeleteFileA(shot.c_str());
    return runHost(tree.hostPath(),
                   "--frames 12 --flat-out --position 100,100 --report-windows --screenshot-at "
                   "10:\"" + shot + "\"",
                   120000);
}

void expectDrawnAndWritten(const InstallTree& tree, const HostRun& run, const std::string& name) {
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_TRUE(run.boxes.empty()) << (run.boxes.empty() ? "" : run.boxes[0].text);
    EXPECT_NE(run.output.find("host: 12 frames"), std::string::npos) << run.output;
    EXPECT_NE(reportedWindow(run, "Vizorama").find("rect=375,100,550,232"), std::string::npos)
        << run.output;
    // Quit wrote every setting back.
    const std::string text = readFileText(tree.settingsPath());
    EXPECT_EQ(settingsValue(text, "vzrVersion"), "151") << text;
    EXPECT_EQ(settingsValue(text, "dimResolution"), "2x2") << text;
    Screenshot shot(gScreenshotFolder + "\\frames-" + name + ".bmp");
    ASSERT_TRUE(shot.ok()) << name;
    EXPECT_GT(shot.litShare(kLeft, kTop, kWidth, kHeight), 0.05) << name;
}

TEST(Frames, TheDefaultSceneDrawsAndItsSettingsAreWritten) {
    InstallTree tree;
    writeFileText(tree.settingsPath(), kWindowed);
    HostRun run = drawFrames(tree, "default");
    expectDrawnAndWritten(tree, run, "default");
    EXPECT_EQ(settingsValue(readFileText(tree.settingsPath()), "mdlOnOff"), "0");
}

TEST(Frames, TheFullSceneDrawsAndItsSettingsAreWritten) {
    InstallTree tree;
    tree.installModels();
    writeFileText(tree.settingsPath(),
                  kWindowed +
                      "bgrOnOff=1\r\nmdlOnOff=1\r\nmdlName=Vizorama\r\nmdlDynamicTextureOnOff=1\r\n"
                      "mdlEffectsOnOff=1\r\nmdlEffectsType=Motion Blur\r\nvumOnOff=1\r\n"
                      "tofOnOff=1\r\nlhtOnOff=1\r\noscOnOff=1\r\n");
    HostRun run = drawFrames(tree, "full");
    expectDrawnAndWritten(tree, run, "full");
    const std::string text = readFileText(tree.settingsPath());
    EXPECT_EQ(settingsValue(text, "mdlEffectsType"), "Motion Blur");
    EXPECT_EQ(settingsValue(text, "bgrOnOff"), "1");
    // The sky fills the background.
    EXPECT_GT(Screenshot(gScreenshotFolder + "\\frames-full.bmp")
                  .litShare(kLeft, kTop, kWidth, kHeight),
              0.5);
}

// Render from the host's audio thread, the main window (and with it the plug-in's) destroyed
// before each Quit, twice without reloading: nothing shown, nothing left, every start and stop
// written.
TEST(Frames, RenderFromAnAudioThreadAndTheWindowGoneBeforeQuit) {
    InstallTree tree;
    writeFileText(tree.settingsPath(), kWindowed + "bgrOnOff=1\r\n");
    HostRun run = runHost(tree.hostPath(),
                          "--render-thread --destroy-before-quit --cycles 2 --frames 10 "
                          "--report-windows --report-class Vizorama",
                          120000);
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_TRUE(run.boxes.empty()) << (run.boxes.empty() ? "" : run.boxes[0].text);
    EXPECT_NE(run.output.find("host: 20 frames"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("host: 0 plug-in windows"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("host: class Vizorama unregistered"), std::string::npos)
        << run.output;
    EXPECT_EQ(settingsValue(readFileText(tree.settingsPath()), "vzrVersion"), "151");
}

}  // namespace
