#include "scene/WindowGeometry.h"

#include <cstdlib>

namespace {

struct FullScreenEntry {
    const char* name;
    int width, height;
};

constexpr FullScreenEntry kFullScreen[] = {
    {"640x480", 640, 480},     {"800x600", 800, 600},     {"1024x768", 1024, 768},
    {"1152x864", 1152, 864},   {"1280x1024", 1280, 1024}, {"1600x1200", 1600, 1200},
};

bool near(int a, int b, int distance) { return std::abs(a - b) < distance; }

// The 64-pixel snap of a windowed render window to the player's window, each test on the
// values left by the ones before.
void snapToHost(WindowGeometry& g, const ScreenRect& host) {
    constexpr int kSnap = 64;
    if (near(g.top, host.top, kSnap)) g.top = host.top;
    if (near(g.top, host.bottom, kSnap)) g.top = host.bottom;
    if (near(g.left, host.left, kSnap)) g.left = host.left;
    if (near(g.left, host.right, kSnap)) g.left = host.right;
    if (near(g.top + g.height, host.top, kSnap)) g.top = host.top - g.height;
    if (near(g.top + g.height, host.bottom, kSnap)) g.top = host.bottom - g.height;
    if (near(g.left + g.width, host.left, kSnap)) g.left = host.left - g.width;
    if (near(g.left + g.width, host.right, kSnap)) g.left = host.right - g.width;
}

// The 10-pixel snap of a dragged edge: position and extent along one axis, against the
// player's near and far edges on that axis.
int snapEdge(int position, int extent, int hostNear, int hostFar) {
    constexpr int kSnap = 10;
    if (near(hostNear, position, kSnap)) position = hostNear;
    if (near(hostNear, position + extent, kSnap)) position = hostNear - extent;
    if (near(hostFar, position, kSnap)) position = hostFar;
    if (near(hostFar, position + extent, kSnap)) position = hostFar - extent;
    return position;
}

}  // namespace

bool fullScreenSize(const std::string& resolution, int& width, int& height) {
    for (const FullScreenEntry& e : kFullScreen) {
        if (resolution == e.name) {
            width = e.width;
            height = e.height;
            return true;
        }
    }
    return false;
}

bool windowedUnits(const std::string& resolution, int& columns, int& rows) {
    if (resolution.size() != 3 || resolution[1] != 'x') return false;
    columns = resolution[0] - '0';
    rows = resolution[2] - '0';
    return columns >= 1 && columns <= 3 && rows >= 1 && rows <= 3;
}

LayoutResult layoutGeometry(const std::string& resolution, const ScreenRect& host,
                            WindowGeometry g) {
    LayoutResult result;
    int unitWidth = host.right - host.left;
    int unitHeight = host.bottom - host.top;
    if (resolution == "Docked") {
        bool doubleSize = unitHeight > kHostUnitHeight;
        g.left = host.left + (doubleSize ? 24 : 12);
        g.top = host.top + (doubleSize ? 46 : 23);
        g.width = doubleSize ? 182 : 91;
        g.height = doubleSize ? 82 : 41;
    } else {
        if (unitHeight < kHostUnitHeight) {  // the player shows its reduced form
            unitHeight = kHostUnitHeight;
            if (unitWidth > kHostUnitWidth) unitWidth /= 2;
        }
        int columns, rows;
        if (windowedUnits(resolution, columns, rows)) {
            g.width = columns * unitWidth;
            g.height = rows * unitHeight;
            snapToHost(g, host);
        }
    }
    int w, h;
    if (fullScreenSize(resolution, w, h) && !(g == WindowGeometry{0, 0, w, h})) {
        result.switchFullScreen = true;
        result.fullScreenWidth = w;
        result.fullScreenHeight = h;
    }
    result.geometry = g;
    return result;
}

WindowGeometry dragGeometry(int x, int y, int anchorX, int anchorY, const ScreenRect& window,
                            const ScreenRect& host, const ScreenRect& previousHost) {
    WindowGeometry g;
    g.width = window.right - window.left;
    g.height = window.bottom - window.top;
    g.top = snapEdge(y - anchorY + window.top, g.height, host.top, host.bottom);
    g.left = snapEdge(x - anchorX + window.left, g.width, host.left, host.right);
    int current = host.bottom - host.top;
    int previous = previousHost.bottom - previousHost.top;
    if (current > kHostUnitHeight && current > previous) {
        g.width *= 2;
        g.height *= 2;
    }
    if (previous > kHostUnitHeight && current < previous) {
        g.width /= 2;
        g.height /= 2;
    }
    return g;
}

int chooseDisplayMode(const std::vector<DisplayMode>& modes, int width, int height,
                      int contextDepth, const std::function<bool(int index)>& testSwitch) {
    auto search = [&](int depth) {
        for (size_t i = 0; i < modes.size(); ++i) {
            const DisplayMode& m = modes[i];
            if (m.width == width && m.height == height && m.bitsPerPixel == depth &&
                testSwitch(static_cast<int>(i)))
                return static_cast<int>(i);
        }
        return -1;
    };
    int found = search(contextDepth);
    if (found < 0 && contextDepth == 24) found = search(32);
    return found;
}
