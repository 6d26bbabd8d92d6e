#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <cstring>
#include <vector>

#include "platform/GlHeaders.h"
#include "platform/headless/OffscreenContext.h"
#include "scene/Camera.h"
#include "scene/FeatherTail.h"
#include "scene/Lights.h"
#include "scene/VuMeter.h"
#include "settings/Settings.h"

namespace {

struct Parts {
    OffscreenContext gl{64, 64};
    Settings settings;
    FrameState frame;
    Lights lights{settings};
    VuMeter vu{settings, lights, frame};
    FeatherTail tail{settings, lights, frame};
    uint8_t wave[2][kWaveformSamples] = {};

    Parts() {
        glMatrixMode(GL_PROJECTION);  // so wide that nothing drawn is clipped away
        glOrtho(-1000, 1000, -1000, 1000, -1000, 1000);
        glMatrixMode(GL_MODELVIEW);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_CULL_FACE);
        lights.setUp();
        lights.scaleColours(1.0f);
        frame.angleLeft = 30;
        frame.angleRight = 50;
        vu.waveform = tail.waveform = wave;
    }
    ~Parts() { lights.release(); }

    // What a drawing sends to OpenGL, in feedback mode; the fixed state must be as it was.
    template <typename Draw>
    std::vector<float> feedback(Draw draw) {
        std::vector<float> buffer(400000);
        float before[16], after[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, before);
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
        glRenderMode(GL_FEEDBACK);
        draw();
        buffer.resize(static_cast<size_t>(std::max(glRenderMode(GL_RENDER), 0)));
        glGetFloatv(GL_MODELVIEW_MATRIX, after);
        GLboolean depthWrites = GL_FALSE;
        glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
        EXPECT_TRUE(depthWrites && !glIsEnabled(GL_BLEND) && glIsEnabled(GL_CULL_FACE) &&
                    glIsEnabled(GL_TEXTURE_2D) && !std::memcmp(before, after, sizeof after));
        return buffer;
    }
    // Triangles drawn (each arrives as a polygon token and a count of three vertices; no
    // coordinate in this viewport equals the token).
    template <typename Draw>
    int triangles(Draw draw) {
        std::vector<float> b = feedback(draw);
        int count = 0;
        for (size_t i = 0; i + 1 < b.size(); ++i)
            count += b[i] == GL_POLYGON_TOKEN && b[i + 1] == 3;
        return count;
    }
};

TEST(VuMeterTest, SpokesFollowTheLevelsWithThreeSpritesAtEachEnd) {
    Parts p;
    // One spoke is a triangle; each of its two ends carries three sprites of two triangles.
    auto perSpoke = [](int spokes) { return spokes * (1 + 2 * 3 * 2); };
    p.settings.vumType = "Single Fixed Point";
    EXPECT_EQ(p.triangles([&] { p.vu.draw(0, 0, 6); }), perSpoke(5));
    EXPECT_EQ(p.triangles([&] { p.vu.draw(0, 0, 63); }), perSpoke(62));
    EXPECT_EQ(p.triangles([&] { p.vu.draw(0, 0, 1); }), 0);
    for (const char* type : {"Double Fixed Point", "Beam"}) {
        SCOPED_TRACE(type);
        p.settings.vumType = type;
        EXPECT_EQ(p.triangles([&] { p.vu.draw(0, 0, 63); }), 0);
        EXPECT_EQ(p.triangles([&] { p.vu.draw(3, 3, 63); }), 0);
        EXPECT_EQ(p.triangles([&] { p.vu.draw(4, 127, 63); }), perSpoke(1) + perSpoke(62));
    }
    p.settings.vumType = "Needle";
    EXPECT_EQ(p.triangles([&] { p.vu.draw(127, 127, 63); }), 0);
    p.settings.vumType = "Beam";
    p.settings.vumOnOff = 0;
    EXPECT_EQ(p.triangles([&] { p.vu.draw(127, 127, 63); }), 0);
}

TEST(FeatherTailTest, OneFeatherForEveryEvenSampleUpTo572) {
    Parts p;
    p.settings.tofOnOff = 0;
    EXPECT_TRUE(p.feedback([&] { p.tail.draw(); }).empty());
    p.settings.tofOnOff = 1;
    for (int i = 0; i < kWaveformSamples; ++i) {
        p.wave[0][i] = static_cast<uint8_t>(-100 + (i % 50));
        p.wave[1][i] = static_cast<uint8_t>(90 - (i % 40));
    }
    EXPECT_EQ(p.triangles([&] { p.tail.draw(); }), 287);
    std::vector<float> drawn = p.feedback([&] { p.tail.draw(); });
    // The odd samples and the last three are not used; sample 572 is.
    for (int i = 1; i < kWaveformSamples; i += 2) p.wave[0][i] = p.wave[1][i] = 0x80;
    p.wave[0][574] = p.wave[1][574] = 0x7f;
    EXPECT_EQ(p.feedback([&] { p.tail.draw(); }), drawn);
    p.wave[0][572] = 0x7f;
    EXPECT_NE(p.feedback([&] { p.tail.draw(); }), drawn);
}

// The tail as one array of vertices lit on the CPU gives the picture of the 287 feathers drawn
// one by one under their own matrices with OpenGL's lighting: within one step of 255 but for
// at most one value in 100,000 (a pixel centre on a feather's edge may fall either way).
TEST(FeatherTailTest, OneArrayDrawsThePictureOfFeathersDrawnOneByOne) {
    OffscreenContext gl(640, 480);
    ASSERT_TRUE(gl.ok());
    Settings settings;
    settings.tofOnOff = 1;
    FrameState frame;
    Lights lights(settings);
    FeatherTail tail(settings, lights, frame);
    uint8_t wave[2][kWaveformSamples];
    tail.waveform = wave;
    settings.dimWidth = 640;
    settings.dimHeight = 480;
    Camera camera(settings);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    lights.setUp();
    lights.scaleColours(1.0f);
    lights.placeLights(35, 70);
    const float* diffuse = lights.scaledColours + 3;

    auto oneByOne = [&] {
        glPushMatrix();
        glDisable(GL_TEXTURE_2D);
        glDepthMask(GL_FALSE);
        glEnable(GL_BLEND);
        glDisable(GL_CULL_FACE);
        glNormal3f(0, -1, 0);
        glColor3f(0.1f * diffuse[0], 0.1f * diffuse[1], 0.1f * diffuse[2]);
        for (int i = 0; i < 287; ++i) {
            const float d = static_cast<float>(i - 144) * 0.25f;
            glPushMatrix();
            glTranslatef(d, 0, 0);
            glRotatef(static_cast<float>(i) + frame.angleLeft, 1, 1, 1);
            glTranslatef(0, 0, d);
            glRotatef(static_cast<float>(i) + frame.angleRight, 1, 1, 1);
            glBegin(GL_TRIANGLES);
            glVertex3f(0, static_cast<int8_t>(wave[0][2 * i]) * 0.25f, 0);
            glVertex3f(10, 0, 0);
            glVertex3f(0, -static_cast<int8_t>(wave[1][2 * i]) * 0.25f, 0);
            glEnd();
            glPopMatrix();
        }
        glEnable(GL_CULL_FACE);
        glDisable(GL_BLEND);
        glDepthMask(GL_TRUE);
        glEnable(GL_TEXTURE_2D);
        glPopMatrix();
    };
    auto picture = [&](auto draw) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        camera.applyProjection();  // the scene's view
        draw();
        glFinish();
        std::vector<uint8_t> values;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) {
                OffscreenContext::Rgba p = gl.pixel(x, y);
                values.insert(values.end(), {p.r, p.g, p.b});
            }
        return values;
    };
    size_t off = 0, lit = 0, values = 0;
    for (int f = 0; f < 4; ++f) {
        frame.angleLeft = 40.0f * f;
        frame.angleRight = 25.0f + 60.0f * f;
        for (int i = 0; i < kWaveformSamples; ++i) {
            wave[0][i] = static_cast<uint8_t>(std::lround(120 * std::sin(0.05 * i + f)));
            wave[1][i] = static_cast<uint8_t>(std::lround(110 * std::cos(0.03 * i - f)));
        }
        const std::vector<uint8_t> expected = picture(oneByOne), drawn = picture([&] { tail.draw(); });
        for (size_t i = 0; i < expected.size(); ++i) {
            off += std::abs(expected[i] - drawn[i]) > 1;
            lit += expected[i] > 2;
        }
        values += expected.size();
        if (f == 0) gl.savePng(std::string(VZRM_FRAME_FOLDER) + "/feathers.png");
    }
    EXPECT_LE(off, values / 100000);
    EXPECT_GT(lit, values / 10) << "too dark to compare";
    lights.release();
}

}  // namespace
