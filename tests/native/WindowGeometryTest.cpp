#include <gtest/gtest.h>

#include "scene/WindowGeometry.h"

namespace {

ScreenRect at(int left, int top, int width, int height) {
    return {left, top, left + width, top + height};
}

TEST(WindowLayout, SizesDockingSnappingAndFullScreenRequests) {
    const ScreenRect normal = at(100, 100, 275, 116);  // bottom at 216, right at 375
    const struct {
        const char* resolution;
        ScreenRect host;
        WindowGeometry current, expected;
    } cases[] = {
        // Windowed: multiples of the player window; its reduced form counts as normal size.
        {"1x1", normal, {1000, 1000, 1, 1}, {1000, 1000, 275, 116}},
        {"2x3", normal, {1000, 1000, 1, 1}, {1000, 1000, 550, 348}},
        {"3x1", normal, {1000, 1000, 1, 1}, {1000, 1000, 825, 116}},
        {"1x2", at(0, 0, 550, 232), {1000, 1000, 1, 1}, {1000, 1000, 550, 464}},
        {"1x1", at(0, 0, 275, 14), {1000, 1000, 1, 1}, {1000, 1000, 275, 116}},
        {"1x1", at(0, 0, 550, 14), {1000, 1000, 1, 1}, {1000, 1000, 275, 116}},
        // Docked inside the player window, larger from 117 pixels high.
        {"Docked", at(100, 200, 275, 116), {}, {112, 223, 91, 41}},
        {"Docked", at(100, 200, 275, 117), {}, {124, 246, 182, 82}},
        {"Docked", at(100, 200, 275, 14), {}, {112, 223, 91, 41}},
        // Snapping onto the player's edges within 64 pixels.
        {"1x1", normal, {600, 216 + 63, 0, 0}, {600, 216, 275, 116}},
        {"1x1", normal, {600, 216 + 64, 0, 0}, {600, 280, 275, 116}},
        {"1x1", normal, {375 + 63, 600, 0, 0}, {375, 600, 275, 116}},
        {"1x1", normal, {375 + 64, 600, 0, 0}, {439, 600, 275, 116}},
        {"1x1", normal, {600, 100 - 116 - 63, 0, 0}, {600, -16, 275, 116}},  // above the player
        {"1x1", normal, {600, 130, 0, 0}, {600, 100, 275, 116}},  // the top edge comes first
        // Anything else leaves the geometry alone; full screen waits for the display switch.
        {"", normal, {5, 6, 7, 8}, {5, 6, 7, 8}},
        {"4x4", normal, {5, 6, 7, 8}, {5, 6, 7, 8}},
        {"1x1 ", normal, {5, 6, 7, 8}, {5, 6, 7, 8}},
        {"1280x1024", normal, {5, 6, 7, 8}, {5, 6, 7, 8}},
    };
    for (const auto& c : cases) {
        LayoutResult r = layoutGeometry(choiceValue<WindowSize>(c.resolution), c.host, c.current);
        EXPECT_EQ(r.geometry, c.expected)
            << c.resolution << " " << c.current.left << "," << c.current.top << ": "
            << r.geometry.left << "," << r.geometry.top << " " << r.geometry.width << "x"
            << r.geometry.height;
        EXPECT_EQ(r.switchFullScreen, c.resolution == std::string("1280x1024")) << c.resolution;
    }
    LayoutResult r = layoutGeometry(choiceValue<WindowSize>("1280x1024"), normal, {});
    EXPECT_EQ(r.fullScreenWidth * 10000 + r.fullScreenHeight, 12801024);
    const WindowGeometry screen{0, 0, 1280, 1024};
    EXPECT_FALSE(layoutGeometry(choiceValue<WindowSize>("1280x1024"), normal, screen).switchFullScreen);
    EXPECT_TRUE(layoutGeometry(choiceValue<WindowSize>("640x480"), normal, screen).switchFullScreen);
    EXPECT_FALSE(choiceValue<WindowSize>("1920x1080").fullScreen());
}

TEST(WindowDrag, SnapsWithin10PixelsAndFollowsThePlayerSize) {
    ScreenRect host = at(100, 100, 275, 116);  // bottom 216
    ScreenRect window = at(500, 400, 275, 116);
    // Dragging up by 175 puts the top 9 pixels below the player's bottom edge: snapped.
    EXPECT_EQ(dragGeometry(50, 50 - 175, 50, 50, window, host, host),
              (WindowGeometry{500, 216, 275, 116}));
    EXPECT_EQ(dragGeometry(50, 50 - 174, 50, 50, window, host, host).top, 226);
    // Left edge onto the player's right edge (375), and the right edge onto its left edge.
    EXPECT_EQ(dragGeometry(50 - 116, 50, 50, 50, window, host, host).left, 375);
    EXPECT_EQ(dragGeometry(50 - 670, 50, 50, 50, window, host, host).left, 100 - 275);
    // The player went to double size since the last look: the window doubles; and back.
    ScreenRect doubled = at(100, 100, 550, 232);
    WindowGeometry g = dragGeometry(50, 50, 50, 50, window, doubled, host);
    EXPECT_EQ(g.width * 1000 + g.height, 550232);
    g = dragGeometry(50, 50, 50, 50, at(500, 400, 551, 233), host, doubled);
    EXPECT_EQ(g.width * 1000 + g.height, 275116);
    // Signed client coordinates: a cursor left of and above the window.
    g = dragGeometry(-20, -30, 10, 10, window, at(0, 0, 275, 116), at(0, 0, 275, 116));
    EXPECT_EQ(g.left * 1000 + g.top, 470 * 1000 + 360);

    // A full-screen mode: the first of that size and depth whose test switch succeeds; a
    // 24-bit context takes a 32-bit mode when none matches exactly.
    std::vector<DisplayMode> modes = {{1280, 960, 32},  {1280, 1024, 16}, {1280, 1024, 32},
                                      {1280, 1024, 32}, {1024, 768, 24},  {1024, 768, 32}};
    auto always = [](int) { return true; };
    EXPECT_EQ(chooseDisplayMode(modes, 1280, 1024, 32, always), 2);
    EXPECT_EQ(chooseDisplayMode(modes, 1280, 1024, 16, always), 1);
    EXPECT_EQ(chooseDisplayMode(modes, 800, 600, 32, always), -1);
    EXPECT_EQ(chooseDisplayMode(modes, 1280, 1024, 32, [](int i) { return i != 2; }), 3);
    EXPECT_EQ(chooseDisplayMode(modes, 1280, 1024, 32, [](int) { return false; }), -1);
    EXPECT_EQ(chooseDisplayMode(modes, 1024, 768, 24, always), 4);
    EXPECT_EQ(chooseDisplayMode(modes, 1280, 1024, 24, always), 2);
    EXPECT_EQ(chooseDisplayMode(modes, 1280, 1024, 8, always), -1);
}

}  // namespace
