#include <gtest/gtest.h>

#include "assets/GlHeaders.h"
#include "platform/headless/OffscreenContext.h"
#include "scene/Camera.h"
#include "scene/Lights.h"
#include "settings/Settings.h"

namespace {

TEST(LightsTest, SpriteFramesAreTheFirstTenCellsOfTheSheetFromTheTop) {
    SpriteFrame f0 = spriteFrame(0), f5 = spriteFrame(5), f9 = spriteFrame(9);
    EXPECT_FLOAT_EQ(f0.s0, 0);
    EXPECT_FLOAT_EQ(f0.s1, 0.25f);
    EXPECT_FLOAT_EQ(f0.t0, 0.75f);
    EXPECT_FLOAT_EQ(f0.t1, 1);
    EXPECT_FLOAT_EQ(f5.s0, 0.25f);
    EXPECT_FLOAT_EQ(f5.t1, 0.75f);
    EXPECT_FLOAT_EQ(f9.s0, 0.25f);
    EXPECT_FLOAT_EQ(f9.t0, 0.25f);
}

TEST(LightsTest, StroboscopeDarkensEveryOtherLoudFrameAndNeverTwoInARow) {
    OffscreenContext gl(8, 8);
    ASSERT_TRUE(gl.ok());
    Settings s;
    Lights lights(s);
    auto sequence = [&](uint32_t position, float loudness) {
        s.lhtStroboscope = position;
        lights.wasDark = false;
        std::string out;
        for (int i = 0; i < 6; ++i) out += lights.strobeDark(loudness) ? 'D' : 'L';
        return out;
    };
    EXPECT_EQ(sequence(10, 0.1f), "DLDLDL");  // "Always"
    EXPECT_EQ(sequence(0, 1.0f), "LLLLLL");   // "Never", even at full loudness
    EXPECT_EQ(sequence(5, 0.5f), "LLLLLL");   // the loudness must exceed the threshold
    EXPECT_EQ(sequence(5, 0.51f), "DLDLDL");
    EXPECT_EQ(sequence(9, 0.1f), "LLLLLL");   // the quietest loudness equals this threshold
    EXPECT_EQ(sequence(4000000000u, 0.2f), "DLDLDL");  // beyond "Always" counts as "Always"
}

TEST(LightsTest, ColoursFollowTheLoudness) {
    Settings s;
    s.specularRightRgb = {0.5f, 1.0f, 0.25f};
    Lights lights(s);
    lights.scaleColours(0.1f);
    EXPECT_FLOAT_EQ(lights.scaledColours[0], 0.1f * s.ambientRgb.r);
    EXPECT_FLOAT_EQ(lights.scaledColours[9], 0.05f);
    EXPECT_FLOAT_EQ(lights.scaledColours[10], 0.1f);
    lights.scaleColours(1.0f);
    EXPECT_FLOAT_EQ(lights.scaledColours[4], s.diffuseRgb.g);
}

// Where a light at position p, turned as its pulsar is, lands in the window.
void project(float angle, float side, const float* p, double& x, double& y, bool rotate) {
    glPushMatrix();
    if (rotate) {
        glRotatef(angle, side, 0, 0);
        glRotatef(angle, 0, 0, -1);
        glRotatef(angle, 0, -1, 0);
    }
    double model[16], proj[16], z;
    int viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, proj);
    glGetIntegerv(GL_VIEWPORT, viewport);
    gluProject(p[0], p[1], p[2], model, proj, viewport, &x, &y, &z);
    glPopMatrix();
}

TEST(LightsTest, PulsarsGlowWhereTheLightsAreAndLeaveTheStateAsTheyFoundIt) {
    OffscreenContext gl(320, 160);
    ASSERT_TRUE(gl.ok());
    Settings s;
    s.dimWidth = 320;
    s.dimHeight = 160;
    s.lhtOnOff = 1;
    Camera camera(s);
    Lights lights(s);
    camera.applyProjection();
    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_DEPTH_TEST);
    lights.setUp();  // no sheet loaded: each pulsar is a plain square in its light's colour

    const float left[3] = {15, -15, 0}, right[3] = {-15, -15, 0};
    const float fixedLeft[3] = {15, -5, 10}, fixedRight[3] = {-15, -5, 10};
    for (uint32_t rotate : {1u, 0u, 2u}) {
        s.lhtRotate = rotate;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        float before[16], after[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, before);
        lights.drawPulsars(0, 9, 40, 75);
        glGetFloatv(GL_MODELVIEW_MATRIX, after);
        for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(before[i], after[i]);
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
        GLboolean depthWrites = GL_FALSE;
        glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
        EXPECT_TRUE(depthWrites);

        double x, y;
        project(40, 1, rotate == 1 ? left : fixedLeft, x, y, rotate == 1);
        OffscreenContext::Rgba l = gl.pixel(static_cast<int>(x), 159 - static_cast<int>(y));
        EXPECT_GT(l.g, 200) << "left pulsar, rotate " << rotate;
        EXPECT_EQ(l.r, 0);
        project(75, -1, rotate == 1 ? right : fixedRight, x, y, rotate == 1);
        OffscreenContext::Rgba r = gl.pixel(static_cast<int>(x), 159 - static_cast<int>(y));
        EXPECT_GT(r.b, 200) << "right pulsar, rotate " << rotate;
    }

    s.lhtOnOff = 2;  // only 1 switches them on
    glClear(GL_COLOR_BUFFER_BIT);
    lights.drawPulsars(0, 0, 0, 0);
    int lit = 0;
    for (int y = 0; y < 160; y += 4)
        for (int x = 0; x < 320; x += 4) lit += gl.pixel(x, y).g + gl.pixel(x, y).b > 0;
    EXPECT_EQ(lit, 0);
    lights.release();
}

}  // namespace
