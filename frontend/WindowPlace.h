#pragma once
// Where the program's window is: its size and place (in the desktop's coordinates) and whether
// it is full screen, remembered from one run to the next in a small file of its own, and put
// back on a display when the displays have changed since. And how many drawable pixels a window
// point has: more than one on a HiDPI display, where the desktop scales windows up.

#include <string>
#include <vector>

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Rect& o) const {
        return x == o.x && y == o.y && width == o.width && height == o.height;
    }
};

struct WindowPlace {
    Rect rect;               // the window's inside (without the frame); in a window, not full screen
    bool placed = false;     // whether rect's x and y are known (else the window is centred)
    bool fullScreen = false;
};

// The remembered place as text ("x=10", "y=20", "width=", "height=", "fullscreen=0|1", a line
// each), and back: false for text that lacks any of them or holds a value out of bounds (sizes
// 16 to 16384, as --size), leaving place as it was. Lines it does not know are passed over.
std::string windowPlaceText(const WindowPlace& place);
bool parseWindowPlace(const std::string& text, WindowPlace& place);

// The place in the file; false for a missing, unreadable or bad file (place is left as it was).
bool readWindowPlace(const std::string& path, WindowPlace& place);
// Replaces the file at once (a new file renamed over it), creating its folder; false on failure.
bool writeWindowPlace(const std::string& path, const WindowPlace& place);

// The place as it is when a piece of the window at least 64 x 32 points large (or all of a
// smaller window) shows on one of the displays; else (and when it has no place yet) centred on
// the first display, the one the caller prefers, made smaller where it is larger than that
// display. With no displays known it is left as it is.
WindowPlace placeOnDisplays(WindowPlace place, const std::vector<Rect>& displays);

// Drawable pixels per window point, from the widths of both: 1 on an ordinary display, 2 on a
// HiDPI one at 200 %; 1 where either is unknown.
float pixelRatio(int windowWidth, int drawableWidth);
