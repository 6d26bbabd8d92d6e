#include <gtest/gtest.h>

#include "scene/WindowGeometry.h"

namespace {

ScreenRect hostAt(int left, int top, int width, int height) {
    return {left, top, left + width, top + height};
}

WindowGeometry layout(const std::string& resolution, const ScreenRect& host,
                      WindowGeometry current = {1000, 1000, 10, 10}) {
    return layoutGeometry(resolution, host, current).geometry;
}

TEST(WindowLayout, WindowedSizesAreMultiplesOfThePlayerWindow) {
    ScreenRect normal = hostAt(0, 0, 275, 116);
    EXPECT_EQ(layout("1x1", normal), (WindowGeometry{1000, 1000, 275, 116}));
    EXPECT_EQ(layout("2x3", normal), (WindowGeometry{1000, 1000, 550, 348}));
    EXPECT_EQ(layout("3x1", normal), (WindowGeometry{1000, 1000, 825, 116}));
    EXPECT_EQ(layout("1x2", hostAt(0, 0, 550, 232)), (WindowGeometry{1000, 1000, 550, 464}));
    // The reduced form of the player: the unit is the normal window's.
    EXPECT_EQ(layout("1x1", hostAt(0, 0, 275, 14)), (WindowGeometry{1000, 1000, 275, 116}));
    EXPECT_EQ(layout("1x1", hostAt(0, 0, 550, 14)), (WindowGeometry{1000, 1000, 275, 116}));
    // Anything else leaves the geometry alone and never switches the display.
    for (const char* other : {"", "4x4", "1x0", "Dock", "1x1 "}) {
        LayoutResult r = layoutGeometry(other, normal, {5, 6, 7, 8});
        EXPECT_EQ(r.geometry, (WindowGeometry{5, 6, 7, 8})) << other;
        EXPECT_FALSE(r.switchFullScreen) << other;
    }
}

TEST(WindowLayout, DockedSitsInsideThePlayerWindow) {
    EXPECT_EQ(layout("Docked", hostAt(100, 200, 275, 116)), (WindowGeometry{112, 223, 91, 41}));
    EXPECT_EQ(layout("Docked", hostAt(100, 200, 275, 117)), (WindowGeometry{124, 246, 182, 82}));
    EXPECT_EQ(layout("Docked", hostAt(100, 200, 275, 14)), (WindowGeometry{112, 223, 91, 41}));
}

TEST(WindowLayout, SnapsToThePlayerWindowWithin64Pixels) {
    ScreenRect host = hostAt(100, 100, 275, 116);  // bottom at 216, right at 375
    EXPECT_EQ(layout("1x1", host, {600, 216 + 63, 0, 0}).top, 216);
    EXPECT_EQ(layout("1x1", host, {600, 216 + 64, 0, 0}).top, 280);
    EXPECT_EQ(layout("1x1", host, {375 + 63, 600, 0, 0}).left, 375);
    EXPECT_EQ(layout("1x1", host, {375 + 64, 600, 0, 0}).left, 439);
    // The far edges: a window above the player whose bottom comes near the player's top.
    EXPECT_EQ(layout("1x1", host, {600, 100 - 116 - 63, 0, 0}).top, 100 - 116);
    // The tests run in order on the values left by earlier ones: near the top edge first.
    EXPECT_EQ(layout("1x1", host, {600, 130, 0, 0}).top, 100);
}

TEST(WindowLayout, FullScreenIsRequestedUntilTheWindowCoversThatMode) {
    ScreenRect host = hostAt(100, 100, 275, 116);
    LayoutResult r = layoutGeometry("1280x1024", host, {5, 5, 275, 116});
    EXPECT_TRUE(r.switchFullScreen);
    EXPECT_EQ(r.fullScreenWidth, 1280);
    EXPECT_EQ(r.fullScreenHeight, 1024);
    EXPECT_EQ(r.geometry, (WindowGeometry{5, 5, 275, 116}));
    EXPECT_FALSE(layoutGeometry("1280x1024", host, {0, 0, 1280, 1024}).switchFullScreen);
    EXPECT_TRUE(layoutGeometry("640x480", host, {0, 0, 1280, 1024}).switchFullScreen);
    int w = 0, h = 0;
    EXPECT_TRUE(fullScreenSize("1600x1200", w, h));
    EXPECT_EQ(w * 10000 + h, 16001200);
    EXPECT_FALSE(fullScreenSize("1920x1080", w, h));
}

TEST(WindowDrag, SnapsWithin10PixelsAndFollowsThePlayerSize) {
    ScreenRect host = hostAt(100, 100, 275, 116);     // bottom 216
    ScreenRect window = hostAt(500, 400, 275, 116);
    // Dragging up by 175 puts the top 9 pixels below the player's bottom edge: snapped.
    WindowGeometry g = dragGeometry(50, 50 - 175, 50, 50, window, host, host);
    EXPECT_EQ(g, (WindowGeometry{500, 216, 275, 116}));
    g = dragGeometry(50, 50 - 174, 50, 50, window, host, host);
    EXPECT_EQ(g.top, 226);
    // Left edge onto the player's right edge (375), and the right edge onto its left edge.
    EXPECT_EQ(dragGeometry(50 - 116, 50, 50, 50, window, host, host).left, 375);
    EXPECT_EQ(dragGeometry(50 - 670, 50, 50, 50, window, host, host).left, 100 - 275);
    // The player went to double size since the last look: the window doubles; and back.
    ScreenRect doubled = hostAt(100, 100, 550, 232);
    g = dragGeometry(50, 50, 50, 50, window, doubled, host);
    EXPECT_EQ(g.width * 1000 + g.height, 550232);
    g = dragGeometry(50, 50, 50, 50, hostAt(500, 400, 551, 233), host, doubled);
    EXPECT_EQ(g.width * 1000 + g.height, 275116);
    // Signed client coordinates: a cursor left of and above the window.
    g = dragGeometry(-20, -30, 10, 10, window, hostAt(0, 0, 275, 116), hostAt(0, 0, 275, 116));
    EXPECT_EQ(g.left * 1000 + g.top, 470 * 1000 + 360);
}

TEST(DisplayModeChoice, FirstModeOfThatSizeAndDepthThatPassesItsTest) {
    std::vector<DisplayMode> modes = {{1280, 960, 32}, {1280, 1024, 16}, {1280, 1024, 32},
                                      {1280, 1024, 32}, {1024, 768, 24}, {1024, 768, 32}};
    auto always = [](int) { return true; };
    EXPECT_EQ(chooseDisplayMode(modes, 1280, 1024, 32, always), 2);
    EXPECT_EQ(chooseDisplayMode(modes, 1280, 1024, 16, always), 1);
    EXPECT_EQ(chooseDisplayMode(modes, 800, 600, 32, always), -1);
    EXPECT_EQ(chooseDisplayMode(modes, 1280, 1024, 32, [](int i) { return i != 2; }), 3);
    EXPECT_EQ(chooseDisplayMode(modes, 1280, 1024, 32, [](int) { return false; }), -1);
    // A 24-bit context takes an exact match first, and a 32-bit mode when there is none.
    EXPECT_EQ(chooseDisplayMode(modes, 1024, 768, 24, always), 4);
    EXPECT_EQ(chooseDisplayMode(modes, 1280, 1024, 24, always), 2);
    EXPECT_EQ(chooseDisplayMode(modes, 1280, 1024, 8, always), -1);
}

}  // namespace
