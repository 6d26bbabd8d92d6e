#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/GlHeaders.h"
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
    EXPECT_EQ(sequence(9, 0.1f), "LLLLLL");  // the quietest loudness equals this threshold
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

TEST(LightsTest, PulsarsTurnOnlyWhenRotatingAndLeaveTheStateAsTheyFoundIt) {
    OffscreenContext gl(320, 160);
    ASSERT_TRUE(gl.ok());
    Settings s;
    s.dimWidth = 320;
    s.dimHeight = 160;
    Camera(s).applyProjection();
    Lights lights(s);
    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_DEPTH_TEST);
    lights.setUp();  // no sheet loaded: each pulsar is a plain square in its light's colour

    // The picture of the two pulsars, with the fixed state checked after drawing them.
    auto picture = [&](uint32_t onOff, uint32_t rotate) {
        s.lhtOnOff = onOff;
        s.lhtRotate = rotate;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        float before[16], after[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, before);
        lights.drawPulsars(0, 9, 40, 75);
        glGetFloatv(GL_MODELVIEW_MATRIX, after);
        GLboolean depthWrites = GL_FALSE;
        glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
        EXPECT_TRUE(depthWrites && glIsEnabled(GL_LIGHTING) && !glIsEnabled(GL_BLEND) &&
                    !std::memcmp(before, after, sizeof after));
        std::string pixels;
        int green = 0, blue = 0;
        for (int y = 0; y < 160; y += 2)
            for (int x = 0; x < 320; x += 2) {
                OffscreenContext::Rgba p = gl.pixel(x, y);
                pixels += {static_cast<char>(p.r), static_cast<char>(p.g), static_cast<char>(p.b)};
                green += p.g > 200 && p.r == 0;
                blue += p.b > 200;
            }
        EXPECT_EQ(green > 0 && blue > 0, onOff == 1) << "a green and a blue pulsar when on";
        return pixels;
    };
    // Only 1 turns them about the spin angles and only 1 switches them on.
    const std::string fixed = picture(1, 0);
    EXPECT_TRUE(picture(1, 2) == fixed);
    EXPECT_TRUE(picture(1, 1) != fixed);
    EXPECT_EQ(picture(2, 0).find_first_not_of('\0'), std::string::npos);
    lights.release();
}

}  // namespace
