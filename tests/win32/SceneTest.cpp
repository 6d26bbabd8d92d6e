// The scene of the real plug-in in our host: what a user sees, and how it follows the file.
#include <gtest/gtest.h>

#include <windows.h>

#include "host/Screenshot.h"
#include "tests/win32/WineSupport.h"

namespace {

// A 2x2 window snapped to the right of the player at (100, 100): 550 x 232 at (375, 100),
// with the pulsars at fixed places.
const char* kPulsarSettings =
    "[Vizorama]\r\ndimResolution=2x2\r\ndimLeft=380\r\ndimTop=100\r\nlhtOnOff=1\r\n"
    "lhtRotate=0\r\noscOnOff=0\r\nvumOnOff=0\r\n";
constexpr int kWindowLeft = 375, kWindowTop = 100;
// Where the fixed lights appear in that window: the left (green) and right (blue) one.
constexpr int kLeftX = kWindowLeft + 153, kLeftY = kWindowTop + 114;
constexpr int kRightX = kWindowLeft + 393, kRightY = kWindowTop + 114;

void replaceFile(const std::string& path, const std::string& text) {
    writeFileText(path + ".new", text);
    MoveFileExA((path + ".new").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

// Changes one key of the settings file once the plug-in has written it at its start.
std::function<void(DWORD)> changeAfterStart(const std::string& path, const std::string& from,
                                            const std::string& to, bool& changed) {
    return [=, &changed](DWORD) {
        if (changed) return;
        std::string text = readFileText(path);
        size_t at = text.find(from);
        if (text.find("vzrVersion=151") == std::string::npos || at == std::string::npos) return;
        replaceFile(path, text.replace(at, from.size(), to));
        changed = true;
    };
}

TEST(Scene, ShowsTheLoadingPictureThenPulsarsWhereTheLightsAre) {
    InstallTree tree;
    tree.installTestHooksPlugin();  // to keep the loading picture up long enough to see it
    writeFileText(tree.settingsPath(), kPulsarSettings);
    std::string loading = gScreenshotFolder + "\\loading.bmp";
    std::string pulsars = gScreenshotFolder + "\\pulsars.bmp";
    DWORD windowSeen = 0;
    bool taken = false;
    HostRun run = runHost(tree.hostPath(),
                          "--frames 12 --position 100,100 --hold-loading-screen 1500 "
                          "--screenshot-at 10:\"" + pulsars + "\"",
                          30000, [&](DWORD pid) {
                              if (!windowSeen && findProcessWindow(pid, "Vizorama"))
                                  windowSeen = GetTickCount();
                              if (windowSeen && !taken && GetTickCount() - windowSeen > 600)
                                  taken = saveScreenshot(loading);
                          });
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    ASSERT_TRUE(taken);

    Screenshot start(loading);
    ASSERT_TRUE(start.ok());
    EXPECT_GT(start.litShare(kWindowLeft, kWindowTop, 550, 232), 0.3) << "no loading picture";

    Screenshot lit(pulsars);
    ASSERT_TRUE(lit.ok());
    EXPECT_GT(lit.brightest(kLeftX, kLeftY, 6, 1), 150) << "no green pulsar at the left light";
    EXPECT_GT(lit.brightest(kRightX, kRightY, 6, 2), 150) << "no blue pulsar at the right light";
    EXPECT_LT(lit.brightest(kLeftX, kLeftY, 6, 0), 120) << "the left pulsar is not green";
    EXPECT_LT(lit.litShare(kWindowLeft, kWindowTop, 550, 232), 0.1) << "more than two glows";
}

TEST(Scene, TheDefaultSceneRunsFlatOutAndShowsTheSurface) {
    InstallTree tree;  // no settings file: the defaults
    std::string shot = gScreenshotFolder + "\\default-scene.bmp";
    HostRun run = runHost(tree.hostPath(),
                          "--frames 300 --flat-out --position 400,300 --screenshot \"" + shot + "\"");
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_NE(run.output.find("host: 300 frames in"), std::string::npos) << run.output;
    // The window stands at (0, 0), 275 x 116; the water surface fills much of it.
    EXPECT_GT(Screenshot(shot).litShare(0, 0, 275, 116), 0.1);
}

TEST(Scene, TheSkyboxFillsTheBackground) {
    InstallTree tree;
    writeFileText(tree.settingsPath(),
                  "[Vizorama]\r\ndimResolution=2x2\r\ndimLeft=380\r\ndimTop=100\r\nbgrOnOff=1\r\n"
                  "oscOnOff=0\r\nvumOnOff=0\r\n");
    std::string shot = gScreenshotFolder + "\\skybox.bmp";
    HostRun run = runHost(tree.hostPath(),
                          "--frames 20 --position 100,100 --screenshot \"" + shot + "\"");
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_GT(Screenshot(shot).litShare(kWindowLeft, kWindowTop, 550, 232), 0.5);
}

TEST(Scene, StroboscopeAtAlwaysDarkensEveryOtherFrame) {
    InstallTree tree;
    writeFileText(tree.settingsPath(), kPulsarSettings);
    bool changed = false;
    std::string a = tree.folder() + "a.bmp", b = tree.folder() + "b.bmp", c = tree.folder() + "c.bmp";
    HostRun run = runHost(tree.hostPath(),
                          "--frames 42 --position 100,100 --screenshot-at 38:\"" + a +
                              "\" --screenshot-at 39:\"" + b + "\" --screenshot-at 40:\"" + c + "\"",
                          30000,
                          changeAfterStart(tree.settingsPath(), "lhtStroboscope=0",
                                           "lhtStroboscope=10", changed));
    EXPECT_TRUE(changed);
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    auto shows = [](const std::string& path) {
        return Screenshot(path).brightest(kLeftX, kLeftY, 6, 1) > 150;
    };
    EXPECT_NE(shows(a), shows(b));
    EXPECT_NE(shows(b), shows(c));
}

TEST(Scene, ATexBitsChangeReloadsTheTexturesOnce) {
    InstallTree tree;
    tree.installTestHooksPlugin();
    writeFileText(tree.settingsPath(), "[Vizorama]\r\ntexBits=16\r\n");
    bool odd = false, deeper = false;
    DWORD oddAt = 0;
    auto toOdd = changeAfterStart(tree.settingsPath(), "texBits=16", "texBits=24", odd);
    auto toDeeper = changeAfterStart(tree.settingsPath(), "texBits=24", "texBits=32", deeper);
    HostRun run = runHost(tree.hostPath(), "--frames 120", 30000, [&](DWORD pid) {
        if (!odd) {
            toOdd(pid);
            oddAt = GetTickCount();
        } else if (GetTickCount() - oddAt > 800) {
            toDeeper(pid);  // after many frames at the odd value
        }
    });
    EXPECT_TRUE(odd && deeper);
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    // Once at the start, once for 32; the value 24 loads at 16 bits like before.
    EXPECT_NE(run.output.find("host: texture set loads 2\r"), std::string::npos) << run.output;
}

}  // namespace
