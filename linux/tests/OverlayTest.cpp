#include <gtest/gtest.h>

#include "platform/GlHeaders.h"
#include "sprites/PixelFont.h"
#include "scene/Overlay.h"
#include "frontend/WindowPlace.h"
#include "platform/headless/OffscreenContext.h"

namespace {

TEST(Overlay, TextBecomesTheFontsPixelsAndTheDrawingLeavesTheScenesStateAsItWas) {
    std::vector<float> corners;
    // "I" in the font: a bar of 5 on top and bottom and 5 down the middle = 15 pixels.
    float width = appendTextQuads("I", 10, 20, 2, corners);
    EXPECT_EQ(width, kGlyphWidth * 2);
    ASSERT_EQ(corners.size(), 15u * 8);
    EXPECT_EQ(corners[0], 10);  // the first square: top-left pixel of the top bar
    EXPECT_EQ(corners[1], 20);
    EXPECT_EQ(corners[4], 12);  // its opposite corner, 2 x 2
    EXPECT_EQ(corners[5], 22);
    // Small letters are drawn as capitals; characters the font lacks leave a gap.
    std::vector<float> lower, upper;
    appendTextQuads("esc", 0, 0, 1, lower);
    appendTextQuads("ESC", 0, 0, 1, upper);
    EXPECT_EQ(lower, upper);
    std::vector<float> gap;
    EXPECT_EQ(appendTextQuads("I~I", 0, 0, 1, gap), 3 * (kGlyphWidth + 1) - 1);
    EXPECT_EQ(gap.size(), 2 * 15u * 8);
    for (const char* line : {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "0123456789", ".,:-+=/()'?!_"})
        for (const char* c = line; *c; ++c) EXPECT_NE(glyphRows(*c), nullptr) << *c;

    // The help (24 lines) in a wide window: two columns of big text; in a small one, small text
    // in more columns; where nothing fits, the smallest and most.
    const std::vector<size_t> help(24, 35);
    OverlayLayout layout = layoutOverlay(help, 1000, 422);
    EXPECT_EQ(layout.scale, 2);
    EXPECT_EQ(layout.columns, 2);
    layout = layoutOverlay(help, 1000, 1000);
    EXPECT_EQ(layout.columns, 1);
    layout = layoutOverlay(help, 800, 200);
    EXPECT_EQ(layout.scale, 1);
    EXPECT_EQ(layout.columns, 2);
    layout = layoutOverlay(help, 100, 50);
    EXPECT_EQ(layout.scale, 1);
    EXPECT_EQ(layout.columns, 3);

    OffscreenContext context(200, 100);
    ASSERT_TRUE(context.ok());
    // The scene's fixed state, and a matrix of its own.
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_CULL_FACE);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glViewport(0, 0, 150, 60);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1, 2, 3);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);

    Overlay overlay;
    overlay.show({"TITLE", "I"}, 100.0, 3.0);
    EXPECT_TRUE(overlay.visible(102.9));
    EXPECT_FALSE(overlay.visible(103.0));
    overlay.draw(200, 100, 101.0);
    glFinish();
    // The title's "T" starts at the margin (10, 10): its top bar is lit in the title's colour.
    auto lit = context.pixel(11, 11);
    EXPECT_GT(lit.r, 200);
    EXPECT_GT(lit.g, 180);
    EXPECT_LT(lit.b, 120);
    // Inside the panel but off the text: dark; outside the panel: untouched black.
    EXPECT_LT(context.pixel(11, 27).r, 10);
    EXPECT_EQ(context.pixel(190, 90).r, 0);

    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 150);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST) && glIsEnabled(GL_LIGHTING) &&
                glIsEnabled(GL_TEXTURE_2D) && glIsEnabled(GL_CULL_FACE));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    GLint source, destination, mode;
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(source, GL_SRC_ALPHA);
    EXPECT_EQ(destination, GL_ONE);
    EXPECT_EQ(mode, GL_MODELVIEW);
    GLfloat matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    EXPECT_EQ(matrix[12], 1);
    EXPECT_EQ(matrix[14], 3);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    // After its time nothing is drawn.
    glClear(GL_COLOR_BUFFER_BIT);
    overlay.draw(200, 100, 104.0);
    glFinish();
    EXPECT_EQ(context.pixel(11, 11).r, 0);
}

// On a HiDPI display the drawable has more pixels than the window has points: the text keeps its
// size on the screen, its font pixels and margins grown to whole pixels of the drawable.
TEST(Overlay, GrowsWithTheDrawablesPixelsPerPoint) {
    EXPECT_EQ(pixelRatio(960, 1920), 2);
    EXPECT_EQ(pixelRatio(960, 960), 1);
    EXPECT_EQ(pixelRatio(1280, 1600), 1.25f);
    EXPECT_EQ(pixelRatio(0, 1920), 1);  // not known yet

    // The help as a window of 1000 x 422 points shows it, at 200 % and 150 %.
    const std::vector<size_t> help(24, 35);
    OverlayLayout layout = layoutOverlay(help, 2000, 844, 2);
    EXPECT_EQ(layout.scale, 4);
    EXPECT_EQ(layout.columns, 2);
    layout = layoutOverlay(help, 1500, 633, 1.5f);
    EXPECT_EQ(layout.scale, 3);
    EXPECT_EQ(layout.columns, 2);
    layout = layoutOverlay(help, 1600, 400, 2);  // small: font pixels of one point, 2 pixels
    EXPECT_EQ(layout.scale, 2);

    OffscreenContext context(400, 200);
    ASSERT_TRUE(context.ok());
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    Overlay overlay;
    overlay.show({"TITLE", "I"}, 0, 3);
    overlay.draw(400, 200, 1, 2);
    glFinish();
    // The "T" starts at twice the margin (20, 20), its top bar 4 pixels thick; the margin is
    // the panel's dark.
    EXPECT_GT(context.pixel(21, 21).r, 200);
    EXPECT_GT(context.pixel(21, 23).r, 200);
    EXPECT_LT(context.pixel(21, 25).r, 10);
    EXPECT_LT(context.pixel(12, 12).r, 10);
    // Drawn again at 100 %: laid out anew, the "T" back at (10, 10).
    glClear(GL_COLOR_BUFFER_BIT);
    overlay.draw(400, 200, 1, 1);
    glFinish();
    EXPECT_GT(context.pixel(11, 11).r, 200);
}

}  // namespace
