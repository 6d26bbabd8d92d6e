// The render window of the real plug-in in our host: placement, input and start-up failures.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <vector>

#include "tests/win32/WineSupport.h"

namespace {

struct Reported {
    int left = 0, top = 0, width = 0, height = 0;
    unsigned long style = 0, exStyle = 0;
    std::string title, owner;
};

// Parses the host's report of the render window.
bool parseReport(const std::string& line, Reported& r) {
    char title[128] = {}, owner[16] = {};
    return std::sscanf(line.c_str(),
                       "host: window class=Vizorama title=%127s rect=%d,%d,%d,%d style=0x%lx "
                       "exstyle=0x%lx owner=%15s",
                       title, &r.left, &r.top, &r.width, &r.height, &r.style, &r.exStyle,
                       owner) == 8 &&
           (r.title = title, r.owner = owner, true);
}

std::string settingsWith(const std::string& keys) { return "[Vizorama]\r\n" + keys; }


// Runs the host with the given settings file and reports where the render window stood.
Reported placementFor(const std::string& keys, const std::string& extraArgs = "") {
    InstallTree tree;
    writeFileText(tree.settingsPath(), settingsWith(keys));
    HostRun run = runHost(tree.hostPath(),
                          "--frames 3 --flat-out --report-windows --position 100,100 " + extraArgs);
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    Reported r;
    EXPECT_TRUE(parseReport(reportedWindow(run, "Vizorama"), r)) << run.output;
    return r;
}

TEST(RenderWindow, IsAnOwnedPopupPlacedAsTheResolutionSays) {
    Reported docked = placementFor("dimResolution=Docked\r\n");
    EXPECT_EQ(docked.title, "Vizorama");
    EXPECT_EQ(docked.owner, "host");
    const unsigned long popupBits = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    EXPECT_EQ(docked.style & popupBits, popupBits);
    EXPECT_EQ(docked.exStyle & 0x40080ul, 0x40080ul);
    EXPECT_EQ(docked.left * 1000 + docked.top, 112 * 1000 + 123);
    EXPECT_EQ(docked.width * 1000 + docked.height, 91 * 1000 + 41);

    Reported big = placementFor("dimResolution=Docked\r\n", "--double-size");
    EXPECT_EQ(big.left * 1000 + big.top, 124 * 1000 + 146);
    EXPECT_EQ(big.width * 1000 + big.height, 182 * 1000 + 82);

    // 2x3 next to the player (100,100)-(375,216): snapped onto its right and bottom edges.
    Reported windowed = placementFor("dimResolution=2x3\r\ndimLeft=400\r\ndimTop=250\r\n");
    EXPECT_EQ(windowed.left * 1000 + windowed.top, 375 * 1000 + 216);
    EXPECT_EQ(windowed.width * 1000 + windowed.height, 550 * 1000 + 348);

    // No 800 x 600 mode on this display: the geometry stays as it was.
    Reported none = placementFor(
        "dimResolution=800x600\r\ndimLeft=50\r\ndimTop=60\r\ndimWidth=300\r\ndimHeight=200\r\n");
    EXPECT_EQ(none.left * 1000 + none.top, 50 * 1000 + 60);
    EXPECT_EQ(none.width * 1000 + none.height, 300 * 1000 + 200);
}

TEST(RenderWindow, FullScreenCoversTheScreenAndIsStoredForTheNextStart) {
    InstallTree tree;
    writeFileText(tree.settingsPath(), settingsWith("dimResolution=1024x768\r\n"));
    HostRun run = runHost(tree.hostPath(), "--frames 3 --flat-out --report-windows");
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    Reported r;
    ASSERT_TRUE(parseReport(reportedWindow(run, "Vizorama"), r)) << run.output;
    EXPECT_EQ(r.left * 1000 + r.top, 0);
    EXPECT_EQ(r.width * 1000 + r.height, 1024 * 1000 + 768);
    EXPECT_TRUE(r.exStyle & WS_EX_TOPMOST);
    std::string text = readFileText(tree.settingsPath());
    EXPECT_EQ(settingsValue(text, "dimResolution"), "1024x768");
    EXPECT_EQ(settingsValue(text, "dimLeft") + "," + settingsValue(text, "dimTop"), "0,0");
    EXPECT_EQ(settingsValue(text, "dimWidth") + "x" + settingsValue(text, "dimHeight"), "1024x768");
}

// Posts a message to the render window once, when it exists.
std::function<void(DWORD)> postOnce(UINT message, WPARAM wParam, LPARAM lParam, bool& posted) {
    return [=, &posted](DWORD pid) {
        if (posted) return;
        if (HWND w = findProcessWindow(pid, "Vizorama")) {
            Sleep(100);
            PostMessageA(w, message, wParam, lParam);
            posted = true;
        }
    };
}

TEST(RenderWindow, CloseAndEscapeStopThePluginWithoutTouchingTheSettings) {
    InstallTree tree;
    writeFileText(tree.settingsPath(), settingsWith("dimResolution=2x2\r\nvumType=Beam\r\n"));
    bool posted = false;
    HostRun run = runHost(tree.hostPath(), "--frames 2000 --report-windows", 30000,
                          postOnce(WM_CLOSE, 0, 0, posted));
    EXPECT_TRUE(posted);
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_EQ(run.output.find("host: 2000 frames"), std::string::npos);
    // The close only asked the host to stop: the window was still there for Quit to destroy.
    EXPECT_NE(reportedWindow(run, "Vizorama"), "") << run.output;

    posted = false;
    run = runHost(tree.hostPath(), "--frames 2000", 30000,
                  postOnce(WM_KEYDOWN, VK_ESCAPE, 0x00010001, posted));
    EXPECT_TRUE(posted);
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_EQ(run.output.find("host: 2000 frames"), std::string::npos);
    std::string text = readFileText(tree.settingsPath());
    EXPECT_EQ(settingsValue(text, "dimResolution"), "2x2");
    EXPECT_EQ(settingsValue(text, "vumType"), "Beam");
}

TEST(RenderWindow, EscapeInFullScreenGoesBackToAWindowAndSaysSoInTheFileAtOnce) {
    InstallTree tree;
    writeFileText(tree.settingsPath(), settingsWith("dimResolution=1024x768\r\n"));
    bool posted = false, closed = false;
    std::string whileRunning;
    HostRun run = runHost(tree.hostPath(), "--frames 2000 --report-windows --position 100,100",
                          30000, [&](DWORD pid) {
                              postOnce(WM_KEYDOWN, VK_ESCAPE, 0x00010001, posted)(pid);
                              if (!posted || closed) return;
                              std::string text = readFileText(tree.settingsPath());
                              if (settingsValue(text, "dimResolution") != "1x1") return;
                              whileRunning = text;
                              Sleep(200);  // a few frames in the window it went back to
                              PostMessageA(findProcessWindow(pid, "Vizorama"), WM_CLOSE, 0, 0);
                              closed = true;
                          });
    EXPECT_TRUE(closed) << "the file never said 1x1 while the plug-in ran";
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_EQ(settingsValue(whileRunning, "dimResolution"), "1x1");
    Reported r;
    ASSERT_TRUE(parseReport(reportedWindow(run, "Vizorama"), r)) << run.output;
    EXPECT_EQ(r.width * 1000 + r.height, 275 * 1000 + 116);
}

TEST(RenderWindow, ForwardsKeyReleasesSwallowsKeysAndOpensTheUtilityOnRightClick) {
    InstallTree tree;
    tree.installConfigurator();
    writeFileText(tree.settingsPath(), settingsWith("dimResolution=1x1\r\ndimLeft=500\r\n"));
    int step = 0;
    HostRun run = runHost(tree.hostPath(), "--frames 2000", 30000, [&](DWORD pid) {
        HWND w = findProcessWindow(pid, "Vizorama");
        if (!w) return;
        if (step == 0) {
            PostMessageA(w, WM_KEYDOWN, 'A', 0x001E0001);
            PostMessageA(w, WM_KEYUP, 'A', 0xC01E0001);
            PostMessageA(w, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
            step = 1;
        } else if (step == 1 &&
                   fileExists(tree.configurationFolder() + "configurator-started.txt")) {
            Sleep(100);
            PostMessageA(w, WM_CLOSE, 0, 0);
            step = 2;
        }
    });
    EXPECT_EQ(step, 2) << "the utility was not started";
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    // The release reached the player's window; the press went nowhere.
    size_t first = run.output.find("host: key release 0x41");
    EXPECT_NE(first, std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("host: key release", first + 1), std::string::npos) << run.output;
}

struct StartFailure {
    int step;
    const char* text;
    const char* caption;
    bool ownedByHost;
};

TEST(RenderWindow, EachStartFailureShowsItsMessageAndCleansUp) {
    const StartFailure failures[] = {
        {4, "Could not register window class!", "Error!", true},
        {5, "Could not create window!", "Error!", true},
        {8, "ChoosePixelFormat() failed!\nCan't find a suitable pixel format.", "Error", false},
        {9, "SetPixelFormat() failed!\nCan't set format specified.", "Error", false},
        {10, "wglMakeCurrent() failed!\nCan't make a specified OpenGL rendering context.",
         "Error", false},
        {11, "malloc() failed!\nCan't allocate memory.", "Error", false},
    };
    InstallTree tree;
    tree.installTestHooksPlugin();
    for (const StartFailure& f : failures) {
        HostRun run = runHost(tree.hostPath(),
                              "--frames 3 --report-windows --report-class Vizorama "
                              "--fail-init-step " + std::to_string(f.step));
        EXPECT_EQ(run.exitCode, 1u) << f.step << run.output;
        ASSERT_EQ(run.boxes.size(), 1u) << f.step << run.output;
        EXPECT_EQ(run.boxes[0].text, f.text);
        EXPECT_EQ(run.boxes[0].caption, f.caption);
        EXPECT_EQ(run.boxes[0].hasOwner, f.ownedByHost) << f.step;
        EXPECT_NE(run.output.find("host: 0 plug-in windows"), std::string::npos)
            << f.step << run.output;
        EXPECT_NE(run.output.find("host: class Vizorama unregistered"), std::string::npos)
            << f.step << run.output;
        // The settings were written before the window was asked for.
        EXPECT_EQ(settingsValue(readFileText(tree.settingsPath()), "vzrVersion"), "151");
    }
}

TEST(RenderWindow, ScreenshotsShowTheWindowDockedAndBesideThePlayer) {
    struct Shot {
        const char* name;
        const char* keys;
        int left, top, width, height;  // where the window must stand
    } shots[] = {{"docked", "dimResolution=Docked\r\n", 112, 123, 91, 41},
                 {"windowed-2x2", "dimResolution=2x2\r\ndimLeft=380\r\ndimTop=100\r\n", 375, 100,
                  550, 232}};
    for (const Shot& shot : shots) {
        InstallTree tree;
        writeFileText(tree.settingsPath(), settingsWith(shot.keys));
        std::string path = gScreenshotFolder + "\\" + shot.name + ".bmp";
        HostRun run = runHost(tree.hostPath(), "--frames 30 --position 100,100 --screenshot \"" +
                                                   path + "\"");
        EXPECT_EQ(run.exitCode, 0u) << run.output;
        Screenshot screen(path);
        ASSERT_TRUE(screen.ok());
        // The player's title bar is painted; the desktop around is white; the scene in the
        // window is mostly its black background with the surface and meters lit on it.
        EXPECT_GT(GetBValue(screen.at(110, 103)), 100) << shot.name;
        EXPECT_EQ(screen.at(600, 600), RGB(255, 255, 255)) << "the desktop around the windows";
        double lit = screen.litShare(shot.left, shot.top, shot.width, shot.height);
        EXPECT_GT(lit, 0.02) << shot.name << ": no scene in the window";
        EXPECT_LT(lit, 0.9) << shot.name << ": no black background in the window";
        if (shot.left < 375) continue;  // the docked window lies inside the player's picture
        EXPECT_EQ(screen.at(shot.left + shot.width + 2, shot.top + shot.height + 2),
                  RGB(255, 255, 255))
            << shot.name << ": the window reaches further than it should";
    }
}

}  // namespace

namespace {

TEST(RenderWindow, DragsWithTheLeftButtonAndRightClickLeavesFullScreenFirst) {
    InstallTree tree;
    writeFileText(tree.settingsPath(),
                  settingsWith("dimResolution=1x1\r\ndimLeft=600\r\ndimTop=400\r\n"));
    int step = 0;
    HostRun run = runHost(tree.hostPath(), "--frames 2000 --report-windows --position 100,100",
                          30000, [&](DWORD pid) {
                              HWND w = findProcessWindow(pid, "Vizorama");
                              if (!w || step > 0) return;
                              PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
                              PostMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 40));
                              PostMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(60, 40));
                              PostMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(200, 200));
                              Sleep(300);
                              PostMessageA(w, WM_CLOSE, 0, 0);
                              step = 1;
                          });
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    Reported r;
    ASSERT_TRUE(parseReport(reportedWindow(run, "Vizorama"), r)) << run.output;
    EXPECT_EQ(r.left * 1000 + r.top, 650 * 1000 + 430);
    std::string text = readFileText(tree.settingsPath());
    EXPECT_EQ(settingsValue(text, "dimLeft") + "," + settingsValue(text, "dimTop"), "650,430");

    tree.installConfigurator();
    writeFileText(tree.settingsPath(), settingsWith("dimResolution=1024x768\r\n"));
    std::string seenAtLaunch;
    step = 0;
    run = runHost(tree.hostPath(), "--frames 2000", 30000, [&](DWORD pid) {
        HWND w = findProcessWindow(pid, "Vizorama");
        if (!w) return;
        if (step == 0) {
            Sleep(100);
            PostMessageA(w, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
            step = 1;
        } else if (step == 1 &&
                   fileExists(tree.configurationFolder() + "configurator-started.txt")) {
            seenAtLaunch = readFileText(tree.settingsPath());
            PostMessageA(w, WM_CLOSE, 0, 0);
            step = 2;
        }
    });
    EXPECT_EQ(step, 2) << "the utility was not started";
    EXPECT_EQ(settingsValue(seenAtLaunch, "dimResolution"), "1x1");
    EXPECT_EQ(settingsValue(readFileText(tree.settingsPath()), "dimResolution"), "1x1");
}

}  // namespace
