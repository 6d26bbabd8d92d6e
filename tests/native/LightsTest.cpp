#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "assets/GlHeaders.h"
#include "platform/headless/OffscreenContext.h"
#include "scene/Camera.h"
#include "scene/Lights.h"
#include "settings/Settings.h"

namespace {

TEST(LightsTest, StroboscopeDarkensEveryOtherLoudFrameAndColoursFollowTheLoudness) {
    OffscreenContext gl(8, 8);
    ASSERT_TRUE(gl.ok());
    Settings s;
    s.specularRightRgb = {0.5f, 1.0f, 0.25f};
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

    lights.scaleColours(0.1f);  // silence: a tenth of the configured colours
    EXPECT_FLOAT_EQ(lights.scaledColours[9] + lights.scaledColours[10], 0.15f);

    // The sprite frames are the sheet's first ten cells, counted from the top left.
    auto cell = [](int n) {
        SpriteFrame f = spriteFrame(n);
        return std::vector<float>{f.s0, f.s1, f.t0, f.t1};
    };
    EXPECT_EQ(cell(0), (std::vector<float>{0, 0.25f, 0.75f, 1}));
    EXPECT_EQ(cell(5), (std::vector<float>{0.25f, 0.5f, 0.5f, 0.75f}));
    EXPECT_EQ(cell(9), (std::vector<float>{0.25f, 0.5f, 0.25f, 0.5f}));
}

TEST(LightsTest, PulsarsGlowWhereTheLightsAreAndLeaveTheStateAsTheyFoundIt) {
    OffscreenContext gl(320, 160);
    ASSERT_TRUE(gl.ok());
    Settings s;
    s.dimWidth = 320;
    s.dimHeight = 160;
    s.lhtOnOff = 1;
    Camera(s).applyProjection();
    Lights lights(s);
    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_DEPTH_TEST);
    lights.setUp();  // no sheet loaded: each pulsar is a plain square in its light's colour

    // The window pixel of a light at (x, y, z), turned as its pulsar is when rotating.
    auto pixelAt = [&](float angle, float side, bool rotate, float x, float y, float z) {
        glPushMatrix();
        if (rotate) {
            glRotatef(angle, side, 0, 0);
            glRotatef(angle, 0, 0, -1);
            glRotatef(angle, 0, -1, 0);
        }
        double model[16], proj[16], wx, wy, wz;
        int viewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, model);
        glGetDoublev(GL_PROJECTION_MATRIX, proj);
        glGetIntegerv(GL_VIEWPORT, viewport);
        gluProject(x, y, z, model, proj, viewport, &wx, &wy, &wz);
        glPopMatrix();
        return gl.pixel(static_cast<int>(wx), 159 - static_cast<int>(wy));
    };
    for (uint32_t rotate : {1u, 0u, 2u}) {
        s.lhtRotate = rotate;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        float before[16], after[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, before);
        lights.drawPulsars(0, 9, 40, 75);
        glGetFloatv(GL_MODELVIEW_MATRIX, after);
        EXPECT_EQ(std::memcmp(before, after, sizeof after), 0);
        GLboolean depthWrites = GL_FALSE;
        glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
        EXPECT_TRUE(depthWrites && glIsEnabled(GL_LIGHTING) && !glIsEnabled(GL_BLEND));

        bool on = rotate == 1;  // only 1 turns them; otherwise they sit at the fixed positions
        OffscreenContext::Rgba l = pixelAt(40, 1, on, 15, on ? -15 : -5, on ? 0 : 10);
        OffscreenContext::Rgba r = pixelAt(75, -1, on, -15, on ? -15 : -5, on ? 0 : 10);
        EXPECT_TRUE(l.g > 200 && l.r == 0) << "left pulsar, rotate " << rotate;
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
