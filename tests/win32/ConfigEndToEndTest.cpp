// The plug-in and the configuration utility together, as a user meets them: the player runs the
// plug-in, its configuration entry and a right click open the utility, and a change applied
// there (a page's control, a look used) shows in the frames that follow.
#include <gtest/gtest.h>

#include <windows.h>

#include "host/Screenshot.h"
#include "tests/win32/UtilityDriver.h"
#include "tests/win32/WineSupport.h"

namespace {

// A 2x2 render window snapped to the right of the player at (100, 100): 550 x 232 at
// (375, 100), black with everything off until the sky is switched on.
constexpr int kWindowLeft = 375, kWindowTop = 100, kWindowWidth = 550, kWindowHeight = 232;

// Whether the screen is brighter than a dark grey at (x, y).
bool litAt(int x, int y) {
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return GetRValue(c) + GetGValue(c) + GetBValue(c) > 90;
}

BOOL CALLBACK countUtilityDialog(HWND window, LPARAM count) {
    if (IsWindowVisible(window) && textOf(window) == kUtilityTitle) ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int countUtilityDialogs() {
    int count = 0;
    EnumWindows(countUtilityDialog, reinterpret_cast<LPARAM>(&count));
    return count;
}

TEST(ConfigEndToEnd, TheUtilityOpensFromThePlugInAndAnAppliedChangeShowsInTheNextFrames) {
    endAllUtilities();
    InstallTree tree;
    tree.installUtility();
    // A look with everything off, the sky too.
    makeFolders(tree.folder() + "Plugins\\vis_vzrm\\Looks\\");
    writeFileText(tree.folder() + "Plugins\\vis_vzrm\\Looks\\Test Dark.ini",
                  "[Vizorama]\r\ntofOnOff=0\r\nvumOnOff=0\r\noscOnOff=0\r\nbgrOnOff=0\r\n"
                  "mdlOnOff=0\r\nlhtOnOff=0\r\n");
    writeFileText(tree.settingsPath(),
                  "[Vizorama]\r\ndimResolution=2x2\r\ndimLeft=380\r\ndimTop=100\r\n"
                  "oscOnOff=0\r\nvumOnOff=0\r\nlhtOnOff=0\r\nbgrOnOff=0\r\n"
                  "bgrName=Late Afternoon\r\n");
    const std::string dark = gScreenshotFolder + "\\config-before-apply.bmp";
    const std::string sky = gScreenshotFolder + "\\config-after-apply.bmp";
    const std::string lookUsed = gScreenshotFolder + "\\config-after-look.bmp";

    int step = 0;
    DWORD since = 0, latencyMs = 0, lookLatencyMs = 0;
    int copiesAfterRightClicks = 0;
    HostRun run = runHost(tree.hostPath(), "--config-after 5", 60000, [&](DWORD pid) {
        HWND render = findProcessWindow(pid, "Vizorama");
        HWND dialog = findUtilityDialog();
        DWORD now = GetTickCount();
        switch (step) {
        case 0:  // the configuration entry started the utility beside the running plug-in
            if (!render || !dialog) return;
            SetWindowPos(dialog, nullptr, 0, 340, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            since = now, step = 1;
            return;
        case 1:  // the sky is off; switch it on and apply
            if (now - since < 400) return;
            saveScreenshot(dark);
            setChecked(showPage(dialog, kGraphicsPage), 1009, true);
            click(dialog, 1002);  // returns once the file is written
            since = GetTickCount(), step = 2;
            return;
        case 2:  // the next frames show the sky
            if (!litAt(kWindowLeft + kWindowWidth / 2, kWindowTop + kWindowHeight / 2) &&
                now - since < 5000)
                return;
            latencyMs = now - since;
            saveScreenshot(sky);
            selectListText(showPage(dialog, kLooksPage), 1050, "Test Dark");
            click(showPage(dialog, kLooksPage), 1051);  // "Use"
            click(dialog, 1002);
            since = GetTickCount(), step = 3;
            return;
        case 3:  // the look is on screen: dark again
            if (litAt(kWindowLeft + kWindowWidth / 2, kWindowTop + kWindowHeight / 2) &&
                now - since < 5000)
                return;
            lookLatencyMs = now - since;
            saveScreenshot(lookUsed);
            click(dialog, IDCANCEL);
            step = 4;
            return;
        case 4:  // closed; now a double right click in the render window
            if (dialog) return;
            for (int i = 0; i < 2; ++i) {
                PostMessageA(render, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 20));
                PostMessageA(render, WM_RBUTTONUP, 0, MAKELPARAM(20, 20));
            }
            since = now, step = 5;
            return;
        case 5:  // one copy shows; the other ends by itself
            if (now - since > 10000) step = 6;
            if (!dialog) return;
            since = now, step = 6;
            return;
        case 6:
            if (now - since < 1500) return;
            copiesAfterRightClicks = countUtilityDialogs();
            if (dialog) click(dialog, IDCANCEL);
            PostMessageA(render, WM_CLOSE, 0, 0);
            step = 7;
            return;
        }
    });
    endAllUtilities();
    EXPECT_EQ(step, 7) << "stopped at step " << step << "\n" << run.output;
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_EQ(copiesAfterRightClicks, 1);
    // How soon the change showed, with the frame rate the host measured (for the record; the
    // frames here share two cores with the test and the utility).
    size_t rate = run.output.rfind("host: ", run.output.find(" frames in "));
    std::printf("the sky showed %lu ms after \"Apply\", a look used %lu ms after; %s", latencyMs,
                lookLatencyMs,
                rate == std::string::npos ? "\n" : run.output.substr(rate).c_str());

    Screenshot before(dark), after(sky);
    ASSERT_TRUE(before.ok());
    ASSERT_TRUE(after.ok());
    EXPECT_LT(before.litShare(kWindowLeft, kWindowTop, kWindowWidth, kWindowHeight), 0.05);
    EXPECT_GT(after.litShare(kWindowLeft, kWindowTop, kWindowWidth, kWindowHeight), 0.8)
        << "the sky did not show after \"Apply\"";
    Screenshot withLook(lookUsed);
    ASSERT_TRUE(withLook.ok());
    EXPECT_LT(withLook.litShare(kWindowLeft, kWindowTop, kWindowWidth, kWindowHeight), 0.05)
        << "the look used did not show after \"Apply\"";
    // The plug-in's own write at its stop kept the look's name.
    EXPECT_EQ(settingsValue(readFileText(tree.settingsPath()), "lookName"), "Test Dark");
}

}  // namespace

