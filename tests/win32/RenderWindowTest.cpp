// The render window of the real plug-in in our host: placement, input and start-up failures.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

#include "tests/win32/WineSupport.h"

namespace {

struct Reported {
    int left = 0, top = 0, width = 0, height = 0;
    unsigned long style = 0, exStyle = 0;
    std::string title, owner;
    int place() const { return left * 1000 + top; }
    int size() const { return width * 1000 + height; }
};

// The host's report of the render window (run with --report-windows).
Reported reported(const HostRun& run) {
    Reported r;
    char title[128] = {}, owner[16] = {};
    EXPECT_EQ(std::sscanf(reportedWindow(run, "Vizorama").c_str(),
                          "host: window class=Vizorama title=%127s rect=%d,%d,%d,%d style=0x%lx "
                          "exstyle=0x%lx owner=%15s",
                          title, &r.left, &r.top, &r.width, &r.height, &r.style, &r.exStyle, owner),
              8)
        << run.output;
    r.title = title;
    r.owner = owner;
    return r;
}

// Runs the host in tree with a settings file holding keys.
HostRun runWith(const InstallTree& tree, const std::string& keys, const std::string& args,
                const std::function<void(DWORD)>& whileRunning = nullptr) {
    writeFileText(tree.settingsPath(), "[Vizorama]\r\n" + keys);
    HostRun run = runHost(tree.hostPath(), args, 30000, whileRunning);
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    return run;
}

TEST(RenderWindow, IsAnOwnedPopupPlacedAsTheResolutionSaysAndShowsTheScene) {
    struct Placement {
        const char* name;
        const char* keys;
        int left, top, width, height;  // where the window must stand
    } placements[] = {
        {"docked", "dimResolution=Docked\r\n", 112, 123, 91, 41},
        // Next to the player (100,100)-(375,216): snapped onto its right and bottom edges.
        {"windowed-2x3", "dimResolution=2x3\r\ndimLeft=400\r\ndimTop=250\r\n", 375, 216, 550, 348},
        // No 800 x 600 mode on this display: the geometry stays as it was.
        {"no-800x600-mode",
         "dimResolution=800x600\r\ndimLeft=600\r\ndimTop=400\r\ndimWidth=300\r\ndimHeight=200\r\n",
         600, 400, 300, 200},
    };
    for (const Placement& p : placements) {
        SCOPED_TRACE(p.name);
        InstallTree tree;
        std::string path = gScreenshotFolder + "\\" + p.name + ".bmp";
        std::string args = "--frames 30 --report-windows --position 100,100 --screenshot ";
        Reported r = reported(runWith(tree, p.keys, args + "\"" + path + "\""));
        EXPECT_EQ(r.title + " " + r.owner, "Vizorama host");
        const unsigned long popupBits = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        EXPECT_EQ(r.style & popupBits, popupBits);
        EXPECT_EQ(r.exStyle & 0x40080ul, 0x40080ul);
        EXPECT_EQ(r.place(), p.left * 1000 + p.top);
        EXPECT_EQ(r.size(), p.width * 1000 + p.height);

        // The player's title bar is painted; the desktop around is white; the scene in the
        // window is mostly its black background with the surface and meters lit on it.
        Screenshot screen(path);
        ASSERT_TRUE(screen.ok());
        EXPECT_GT(GetBValue(screen.at(110, 103)), 100);
        EXPECT_EQ(screen.at(1000, 750), RGB(255, 255, 255)) << "the desktop around the windows";
        double lit = screen.litShare(p.left, p.top, p.width, p.height);
        EXPECT_TRUE(lit > 0.02 && lit < 0.9) << "no scene, or no black background: " << lit;
        if (p.left < 375) continue;  // the docked window lies inside the player's picture
        EXPECT_EQ(screen.at(p.left + p.width + 2, p.top + p.height + 2), RGB(255, 255, 255))
            << "the window reaches further than it should";
    }
}

TEST(RenderWindow, FullScreenIsStoredForTheNextStartAndEscapeGoesBackToAWindowAtOnce) {
    InstallTree tree;
    Reported r = reported(
        runWith(tree, "dimResolution=1024x768\r\n", "--frames 3 --flat-out --report-windows"));
    EXPECT_EQ(r.place(), 0);
    EXPECT_EQ(r.size(), 1024768);
    EXPECT_TRUE(r.exStyle & WS_EX_TOPMOST);
    std::string text = readFileText(tree.settingsPath());
    EXPECT_EQ(settingsValue(text, "dimResolution") + " " + settingsValue(text, "dimLeft") + "," +
                  settingsValue(text, "dimTop") + " " + settingsValue(text, "dimWidth") + "x" +
                  settingsValue(text, "dimHeight"),
              "1024x768 0,0 1024x768");

    // The next start enters full screen again; Escape: the file says "1x1" while the plug-in
    // still runs, in a window again.
    bool posted = false, closed = false;
    HostRun run = runHost(
        tree.hostPath(), "--frames 2000 --report-windows --position 100,100", 30000,
        [&](DWORD pid) {
            HWND w = findProcessWindow(pid, "Vizorama");
            if (!w || closed) return;
            if (!posted) {
                Sleep(100);
                posted = PostMessageA(w, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
            } else if (settingsValue(readFileText(tree.settingsPath()), "dimResolution") == "1x1") {
                Sleep(200);  // a few frames in the window it went back to
                closed = PostMessageA(w, WM_CLOSE, 0, 0);
            }
        });
    EXPECT_TRUE(closed) << "the file never said 1x1 while the plug-in ran";
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_EQ(reported(run).size(), 275116);
}

TEST(RenderWindow, ForwardsKeyReleasesLeavesFullScreenForTheUtilityAndCloseOnlyAsksToStop) {
    InstallTree tree;
    tree.installConfigurator();
    std::string seenAtLaunch;
    int step = 0;
    HostRun run = runWith(
        tree, "dimResolution=1024x768\r\n", "--frames 2000 --report-windows", [&](DWORD pid) {
            HWND w = findProcessWindow(pid, "Vizorama");
            if (!w) return;
            if (step == 0) {
                Sleep(100);
                PostMessageA(w, WM_KEYDOWN, 'A', 0x001E0001);
                PostMessageA(w, WM_KEYUP, 'A', 0xC01E0001);
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
    // The release reached the player's window; the press went nowhere.
    size_t first = run.output.find("host: key release 0x41");
    EXPECT_NE(first, std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("host: key release", first + 1), std::string::npos) << run.output;
    // The right click left full screen before the utility started, and the file said so.
    EXPECT_EQ(settingsValue(seenAtLaunch, "dimResolution"), "1x1");
    EXPECT_EQ(settingsValue(readFileText(tree.settingsPath()), "dimResolution"), "1x1");
    // The close only asked the host to stop: the window was still there for Quit to destroy.
    EXPECT_EQ(run.output.find("host: 2000 frames"), std::string::npos);
    EXPECT_NE(reportedWindow(run, "Vizorama"), "") << run.output;
}

TEST(RenderWindow, RightLeftAndAChangeTheLookOnKeyDownAndTheReleasesStillReachThePlayer) {
    InstallTree tree;
    // Two looks of ours (in place of any the build staged), so the order is known.
    const std::string looks = tree.folder() + "Plugins\\vis_vzrm\\Looks\\";
    removeTree(looks);
    makeFolders(looks);
    writeFileText(looks + "Test Beam.ini", "[Vizorama]\r\nvumOnOff=1\r\nvumType=Beam\r\n");
    writeFileText(looks + "Test Plain.ini", "[Vizorama]\r\noscRenderingMode=Plain\r\n");
    int step = 0;
    std::string afterRight, afterLeft;
    HostRun run = runWith(
        tree, "lookOrder=In Turn\r\nvumOnOff=0\r\n", "--frames 3000", [&](DWORD pid) {
            HWND w = findProcessWindow(pid, "Vizorama");
            if (!w) return;
            const std::string text = readFileText(tree.settingsPath());
            if (step == 0) {
                Sleep(300);
                PostMessageA(w, WM_KEYDOWN, VK_RIGHT, 0x014D0001);
                PostMessageA(w, WM_KEYUP, VK_RIGHT, 0xC14D0001);
                step = 1;
            } else if (step == 1 && settingsValue(text, "lookName") == "Test Beam") {
                afterRight = text;
                PostMessageA(w, WM_KEYDOWN, VK_LEFT, 0x014B0001);
                step = 2;
            } else if (step == 2 && settingsValue(text, "lookName") == "My look") {
                afterLeft = text;
                PostMessageA(w, WM_KEYDOWN, 'A', 0x001E0001);
                PostMessageA(w, WM_KEYUP, 'A', 0xC01E0001);
                step = 3;
            } else if (step == 3 && settingsValue(text, "lookChange") == "Timer") {
                PostMessageA(w, WM_CLOSE, 0, 0);
                step = 4;
            }
        });
    ASSERT_EQ(step, 4) << run.output;
    // Right: the user's own settings kept as My look, then the next look (ours come first).
    EXPECT_EQ(settingsValue(afterRight, "vumType") + " " + settingsValue(afterRight, "vumOnOff"), "Beam 1");
    const std::string mine = readFileText(looks + "Mine\\My look.ini");
    EXPECT_EQ(settingsValue(mine, "vumOnOff") + " " + settingsValue(mine, "dimWidth"), "0 <absent>");
    // Left: back to it; Quit wrote its 32 keys and left the look's alone.
    EXPECT_EQ(settingsValue(afterLeft, "vumOnOff"), "0");
    const std::string last = readFileText(tree.settingsPath());
    EXPECT_EQ(settingsValue(last, "lookName") + ", " + settingsValue(last, "lookChange"), "My look, Timer");
    // Every release reached the player's window, once each.
    for (const char* release : {"host: key release 0x27", "host: key release 0x41"}) {
        const size_t at = run.output.find(release);
        EXPECT_NE(at, std::string::npos) << release << run.output;
        EXPECT_EQ(run.output.find(release, at + 1), std::string::npos) << release;
    }
}

TEST(RenderWindow, DragsWithTheLeftButtonAndEscapeStopsLeavingTheChoicesAlone) {
    InstallTree tree;
    bool posted = false;
    HostRun run =
        runWith(tree, "dimResolution=1x1\r\ndimLeft=600\r\ndimTop=400\r\nvumType=Beam\r\n",
                "--frames 2000 --report-windows --position 100,100", [&](DWORD pid) {
                    HWND w = findProcessWindow(pid, "Vizorama");
                    if (!w || posted) return;
                    PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
                    PostMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 40));
                    PostMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(60, 40));
                    PostMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(200, 200));
                    Sleep(300);
                    posted = PostMessageA(w, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
                });
    EXPECT_EQ(run.output.find("host: 2000 frames"), std::string::npos);
    EXPECT_EQ(reported(run).place(), 650430);
    // Escape in a window leaves the choices alone; Quit stores where the window went.
    std::string text = readFileText(tree.settingsPath());
    EXPECT_EQ(settingsValue(text, "dimLeft") + "," + settingsValue(text, "dimTop") + " " +
                  settingsValue(text, "dimResolution") + " " + settingsValue(text, "vumType"),
              "650,430 1x1 Beam");
}

TEST(RenderWindow, EachStartFailureShowsItsMessageAndCleansUp) {
    const struct {
        int step;
        const char* text;
        const char* caption;
        bool ownedByHost;
    } failures[] = {
        {4, "Could not register window class!", "Error!", true},
        {5, "Could not create window!", "Error!", true},
        {8, "ChoosePixelFormat() failed!\nCan't find a suitable pixel format.", "Error", false},
        {9, "SetPixelFormat() failed!\nCan't set format specified.", "Error", false},
        {10, "wglMakeCurrent() failed!\nCan't make a specified OpenGL rendering context.", "Error",
         false},
        {11, "malloc() failed!\nCan't allocate memory.", "Error", false},
    };
    InstallTree tree;
    tree.installTestHooksPlugin();
    for (const auto& f : failures) {
        SCOPED_TRACE(f.step);
        HostRun run = runHost(tree.hostPath(),
                              "--frames 3 --report-windows --report-class Vizorama "
                              "--fail-init-step " +
                                  std::to_string(f.step));
        EXPECT_EQ(run.exitCode, 1u) << run.output;
        ASSERT_EQ(run.boxes.size(), 1u) << run.output;
        EXPECT_EQ(run.boxes[0].text, f.text);
        EXPECT_EQ(run.boxes[0].caption, f.caption);
        EXPECT_EQ(run.boxes[0].hasOwner, f.ownedByHost);
        EXPECT_NE(run.output.find("host: 0 plug-in windows"), std::string::npos) << run.output;
        EXPECT_NE(run.output.find("host: class Vizorama unregistered"), std::string::npos)
            << run.output;
        // The settings were written before the window was asked for.
        EXPECT_EQ(settingsValue(readFileText(tree.settingsPath()), "vzrVersion"), "151");
    }
}

}  // namespace
