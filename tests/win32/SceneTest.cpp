// The scene of the real plug-in in our host, on screen. How it follows the settings file
// frame by frame is tested natively on the same scene code.
#include <gtest/gtest.h>

#include <windows.h>

#include "host/Screenshot.h"
#include "tests/win32/WineSupport.h"

namespace {

// A 2x2 window snapped to the right of the player at (100, 100): 550 x 232 at (375, 100).
const std::string kWindowed = "[Vizorama]\r\ndimResolution=2x2\r\ndimLeft=380\r\ndimTop=100\r\n";
constexpr int kLeft = 375, kTop = 100;

TEST(Scene, ShowsTheLoadingPictureThenPulsarsWhereTheLightsAre) {
    InstallTree tree;
    tree.installTestHooksPlugin();  // to keep the loading picture up long enough to see it
    writeFileText(tree.settingsPath(),
                  kWindowed + "lhtOnOff=1\r\nlhtRotate=0\r\noscOnOff=0\r\nvumOnOff=0\r\n");
    std::string loading = gScreenshotFolder + "\\loading.bmp";
    std::string pulsars = gScreenshotFolder + "\\pulsars.bmp";
    DWORD windowSeen = 0;
    bool taken = false;
    HostRun run = runHost(tree.hostPath(),
                          "--frames 12 --position 100,100 --hold-loading-screen 1500 "
                          "--screenshot-at 10:\"" +
                              pulsars + "\"",
                          30000, [&](DWORD pid) {
                              if (!windowSeen && findProcessWindow(pid, "Vizorama"))
                                  windowSeen = GetTickCount();
                              if (windowSeen && !taken && GetTickCount() - windowSeen > 600)
                                  taken = saveScreenshot(loading);
                          });
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    ASSERT_TRUE(taken);
    EXPECT_GT(Screenshot(loading).litShare(kLeft, kTop, 550, 232), 0.3) << "no loading picture";

    // The fixed lights: the left (green) and right (blue) one.
    Screenshot lit(pulsars);
    ASSERT_TRUE(lit.ok());
    EXPECT_GT(lit.brightest(kLeft + 153, kTop + 114, 6, 1), 150) << "no green pulsar at the left";
    EXPECT_GT(lit.brightest(kLeft + 393, kTop + 114, 6, 2), 150) << "no blue pulsar at the right";
    EXPECT_LT(lit.brightest(kLeft + 153, kTop + 114, 6, 0), 120) << "the left pulsar is not green";
    EXPECT_LT(lit.litShare(kLeft, kTop, 550, 232), 0.1) << "more than two glows";
}

TEST(Scene, TheDefaultSceneRunsFlatOutWithTheSkyboxFillingTheBackground) {
    InstallTree tree;
    writeFileText(tree.settingsPath(),  // 275 x 116, snapped to the player's right edge
                  "[Vizorama]\r\ndimResolution=1x1\r\ndimLeft=380\r\ndimTop=100\r\nbgrOnOff=1\r\n");
    std::string shot = gScreenshotFolder + "\\skybox.bmp";
    std::string args = "--frames 150 --flat-out --position 100,100 --screenshot ";
    HostRun run = runHost(tree.hostPath(), args + "\"" + shot + "\"",
                          120000);  // flat out, but a busy machine may be slow
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_NE(run.output.find("host: 150 frames in"), std::string::npos) << run.output;
    EXPECT_GT(Screenshot(shot).litShare(kLeft, kTop, 275, 116), 0.5);
}

}  // namespace
