#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "assets/GlHeaders.h"
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
        Camera(settings).applyProjection();
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_CULL_FACE);
        lights.setUp();
        lights.scaleColours(1.0f);
        frame.angleLeft = 30;
        frame.angleRight = 50;
        vu.waveform = wave;
        tail.waveform = wave;
    }
    ~Parts() { lights.release(); }

    // What a drawing sends to OpenGL, captured in feedback mode through a projection so wide
    // that nothing is clipped away.
    template <typename Draw>
    std::vector<float> feedback(Draw draw) {
        std::vector<float> buffer(400000);
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glOrtho(-1000, 1000, -1000, 1000, -1000, 1000);
        glMatrixMode(GL_MODELVIEW);
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
        glRenderMode(GL_FEEDBACK);
        draw();
        int used = glRenderMode(GL_RENDER);
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
        buffer.resize(used > 0 ? static_cast<size_t>(used) : 0);
        return buffer;
    }
    // Triangles in a feedback buffer (each arrives as a polygon of three vertices).
    static int triangles(const std::vector<float>& buffer) {
        int count = 0;
        for (size_t i = 0; i < buffer.size();) {
            if (static_cast<int>(buffer[i]) == GL_POLYGON_TOKEN) {
                int vertices = static_cast<int>(buffer[i + 1]);
                count += vertices == 3;
                i += 2 + static_cast<size_t>(vertices) * 3;
            } else {
                ++i;
            }
        }
        return count;
    }
    void expectFixedState(const char* what) {
        EXPECT_FALSE(glIsEnabled(GL_BLEND)) << what;
        EXPECT_TRUE(glIsEnabled(GL_CULL_FACE) && glIsEnabled(GL_TEXTURE_2D)) << what;
        GLboolean depthWrites = GL_FALSE;
        glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
        EXPECT_TRUE(depthWrites) << what;
    }
};

TEST(VuMeterTest, SpokesFollowTheLevelsWithThreeSpritesAtEachEnd) {
    EXPECT_FLOAT_EQ(spokeAngle(2, 1), 3.1415927f);
    EXPECT_NEAR(spokeAngle(63, 1), 62.0 / 63 * 2 * M_PI, 1e-5);
    EXPECT_NEAR(spokeAngle(63, 62), 1.0 / 63 * 2 * M_PI, 1e-6);

    Parts p;
    // One spoke is a triangle; each of its two ends carries three sprites of two triangles.
    auto perSpoke = [](int spokes) { return spokes * (1 + 2 * 3 * 2); };
    p.settings.vumType = "Single Fixed Point";
    EXPECT_EQ(Parts::triangles(p.feedback([&] { p.vu.draw(0, 0, 6); })), perSpoke(5));
    EXPECT_EQ(Parts::triangles(p.feedback([&] { p.vu.draw(0, 0, 63); })), perSpoke(62));
    EXPECT_EQ(Parts::triangles(p.feedback([&] { p.vu.draw(0, 0, 1); })), 0);
    p.expectFixedState("single");

    for (const char* type : {"Double Fixed Point", "Beam"}) {
        p.settings.vumType = type;
        EXPECT_EQ(Parts::triangles(p.feedback([&] { p.vu.draw(0, 0, 63); })), 0) << type;
        EXPECT_EQ(Parts::triangles(p.feedback([&] { p.vu.draw(3, 3, 63); })), 0) << type;
        EXPECT_EQ(Parts::triangles(p.feedback([&] { p.vu.draw(4, 127, 63); })),
                  perSpoke(1) + perSpoke(62))
            << type;
        p.expectFixedState(type);
    }

    float before[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, before);
    p.settings.vumType = "Needle";
    EXPECT_EQ(Parts::triangles(p.feedback([&] { p.vu.draw(127, 127, 63); })), 0);
    p.settings.vumType = "Beam";
    p.settings.vumOnOff = 0;
    EXPECT_EQ(Parts::triangles(p.feedback([&] { p.vu.draw(127, 127, 63); })), 0);
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    EXPECT_EQ(std::memcmp(before, after, sizeof after), 0);
    p.expectFixedState("nothing drawn");
}

TEST(FeatherTailTest, OneFeatherForEveryEvenSampleUpTo572) {
    Parts p;
    p.settings.tofOnOff = 0;
    EXPECT_TRUE(p.feedback([&] { p.tail.draw(); }).empty());
    p.settings.tofOnOff = 1;
    for (int i = 0; i < kWaveformSamples; ++i) {
        p.wave[0][i] = static_cast<uint8_t>(static_cast<int8_t>(-100 + (i % 50)));
        p.wave[1][i] = static_cast<uint8_t>(static_cast<int8_t>(90 - (i % 40)));
    }
    std::vector<float> drawn = p.feedback([&] { p.tail.draw(); });
    EXPECT_EQ(Parts::triangles(drawn), 287);
    p.expectFixedState("feathers");

    // The odd samples and the last three are not used; sample 572 is.
    for (int i = 1; i < kWaveformSamples; i += 2) p.wave[0][i] = p.wave[1][i] = 0x80;
    p.wave[0][574] = p.wave[1][574] = 0x7f;
    EXPECT_EQ(p.feedback([&] { p.tail.draw(); }), drawn);
    p.wave[0][572] = 0x7f;
    EXPECT_NE(p.feedback([&] { p.tail.draw(); }), drawn);
}

}  // namespace
