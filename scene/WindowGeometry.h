#pragma once
// Where the render window goes: the arithmetic of docking, windowed sizes, snapping to the
// player's window, dragging and choosing a full-screen display mode. Pure functions on numbers,
// free of Win32 headers, so they can be tested natively.

#include <functional>
#include <string>

#include "settings/Choices.h"
#include <vector>

struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

struct WindowGeometry {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const WindowGeometry& o) const {
        return left == o.left && top == o.top && width == o.width && height == o.height;
    }
};

// The player's main window at its normal size; below this height it shows a reduced form.
inline constexpr int kHostUnitWidth = 275;
inline constexpr int kHostUnitHeight = 116;

struct LayoutResult {
    WindowGeometry geometry;
    bool switchFullScreen = false;  // the resolution asks for a display mode not yet in use
    int fullScreenWidth = 0, fullScreenHeight = 0;
};

// The render window's geometry for a window size setting, given the player's window and the
// current geometry: docked inside the player, a multiple of its size snapped to its edges
// within 64 pixels, or, for a full-screen size, unchanged with the switch requested unless
// the window already covers a screen of that size at the origin.
LayoutResult layoutGeometry(const WindowSize& size, const ScreenRect& host,
                            WindowGeometry current);

// The render window's geometry while the user drags it: the cursor (x, y) and the press
// position (anchorX, anchorY) in client coordinates, the window's screen rectangle, the
// player's window now and as last known. Snaps to the player's edges within 10 pixels and
// doubles or halves the size when the player's window changed to or from its double size.
WindowGeometry dragGeometry(int x, int y, int anchorX, int anchorY, const ScreenRect& window,
                            const ScreenRect& host, const ScreenRect& previousHost);

struct DisplayMode {
    int width = 0, height = 0, bitsPerPixel = 0;
};

// Index of the first mode in enumeration order with the size asked for, the context's colour
// depth and a successful test switch; -1 when none qualifies. A 24-bit context also takes a
// 32-bit mode (the same 8 bits a channel) when no mode matches its depth exactly.
int chooseDisplayMode(const std::vector<DisplayMode>& modes, int width, int height,
                      int contextDepth, const std::function<bool(int index)>& testSwitch);
