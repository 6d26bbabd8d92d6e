#include "scene/WindowGeometry.h"

#include <cstdlib>

namespace {

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

LayoutResult layoutGeometry(const WindowSize& size, const ScreenRect& host, WindowGeometry g) {
    using Placement = WindowSize::Placement;
    LayoutResult result;
    int unitWidth = host.right - host.left;
    int unitHeight = host.bottom - host.top;
    if (size.placement == Placement::Docked) {
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
        if (size.placement == Placement::Windowed) {
            g.width = size.width * unitWidth;
            g.height = size.height * unitHeight;
            snapToHost(g, host);
        }
    }
    if (size.fullScreen() && !(g == WindowGeometry{0, 0, size.width, size.height})) {
        result.switchFullScreen = true;
        result.fullScreenWidth = size.width;
        result.fullScreenHeight = size.height;
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
