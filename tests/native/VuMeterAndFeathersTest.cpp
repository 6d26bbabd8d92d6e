#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "assets/GlHeaders.h"
#include "platform/headless/OffscreenContext.h"
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

}  // namespace
