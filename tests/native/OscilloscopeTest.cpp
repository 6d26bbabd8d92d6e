#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "assets/GlExtensions.h"
#include "oscilloscope/Oscilloscope.h"
#include "platform/headless/OffscreenContext.h"
#include "scene/Camera.h"
#include "scene/Lights.h"
#include "settings/Settings.h"

namespace {

struct Parts {
    Settings settings;
    Lights lights{settings};
    GlExtensions extensions;
    Oscilloscope osc{settings, lights.scaledColours, extensions};
    // Exactly two channels on the heap, so that a read past either end is caught.
    std::unique_ptr<uint8_t[][kOscilloscopeSamples]> wave{new uint8_t[2][kOscilloscopeSamples]()};

    Parts() { lights.scaleColours(1.0f); }
    void rate(const char* value) {
        settings.oscSamplingRate = value;
        osc.applySamplingRate(wave.get());
    }
    void fill(int left, int right) {
        std::memset(wave[0], static_cast<uint8_t>(left), kOscilloscopeSamples);
        std::memset(wave[1], static_cast<uint8_t>(right), kOscilloscopeSamples);
    }
    void update(const char* type, const char* mode) {
        settings.oscType = type;
        settings.oscRenderingMode = mode;
        osc.updateSurface(1.0f);
    }
    float height(int row, int column) const {
        return osc.vertices[row * osc.columns + column].position[1];
    }
    int grid() const { return osc.columns * 100 + osc.rows; }
};

void expectNear(const std::vector<float>& actual, const std::vector<float>& expected) {
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(actual[i], expected[i], 1e-4) << i;
}

TEST(OscilloscopeGrid, BuildsTheGridAndRebuildsOnlyForANewKnownSamplingRate) {
    Parts p;
    for (const char* unknown : {"5x5", "1X3"}) {
        p.rate(unknown);
        EXPECT_FALSE(p.osc.hasGrid()) << unknown;
    }
    p.rate("1x3");
    ASSERT_TRUE(p.osc.hasGrid());
    EXPECT_EQ(p.grid(), 1030);
    EXPECT_EQ(p.osc.indices[29 * 20 - 1], 28u * 10 + 9);  // 29 strips of 20 indices
    p.osc.history[5].position[1] = 3;
    p.rate("1x3");  // the same value: the history survives
    EXPECT_FLOAT_EQ(p.osc.history[5].position[1], 3);
    p.rate("9x9");  // unknown: the grid stays
    EXPECT_EQ(p.grid(), 1030);
    p.rate("4x1");
    EXPECT_EQ(p.grid(), 4010);
    EXPECT_FLOAT_EQ(p.osc.history[5].position[1], 0);

    ASSERT_TRUE(p.osc.buildGrid(10, 10));
    const SurfaceVertex &first = p.osc.vertices[0], &last = p.osc.vertices[99];
    expectNear({first.position[0], first.position[2], first.texture[0], last.position[0],
                last.position[2], last.texture[1]},
               {-25, -25, 0, 25, 25, 2});
    const uint32_t strip[8] = {10, 0, 11, 1, 12, 2, 19, 9};  // the first strip's start and end
    for (int k = 0; k < 8; ++k) EXPECT_EQ(p.osc.indices[k < 6 ? k : k + 12], strip[k]) << k;
    const float* sine = p.osc.sineWeights.get();
    float border = 0;
    for (int k = 0; k < 10; ++k) border += sine[k] + sine[k * 10] + sine[90 + k] + sine[k * 10 + 9];
    const float* cosine = p.osc.cosineWeights.get();
    expectNear({border, sine[44], sine[55], cosine[0], cosine[99], cosine[9], cosine[90]},
               {0, 0.4849f, 0.4849f, 0.5f, 0.5f, -0.5f, -0.5f});
}

TEST(OscilloscopeHeights, FollowTheTypeAndModeAndStayInsideTheWaveform) {
    Parts p;
    p.rate("1x1");
    for (const char* type : {"Waveform", "No Filter", "Sine Filter", "Cosine Filter"})
        for (const char* mode : {"Plain", "Water", "Explosion"}) {
            p.update(type, mode);  // silence: flat everywhere
            for (int n = 0; n < 100; ++n) ASSERT_FLOAT_EQ(p.osc.vertices[n].position[1], 0);
        }

    p.fill(10, 10);
    p.update("Waveform", "Plain");
    EXPECT_NEAR(p.height(0, 3), 20 * 57 / 1792.0, 1e-5);  // two blocks of 57 samples of 10
    p.update("Waveform", "Explosion");  // the history moved on to row 1; sprites scale by 8
    EXPECT_NEAR(p.height(1, 3), 8 * 20 * 57 / 1792.0, 1e-3);
    p.update("Waveform", "Water");  // a diagonal ripple: zero, crest and trough
    EXPECT_NEAR(p.height(0, 0), 0, 1e-5);
    EXPECT_GT(p.height(0, 1), 0.5f);
    EXPECT_LT(p.height(0, 3), -0.5f);
    // Colours: the sine weight times the diffuse colour; black on the border.
    EXPECT_FLOAT_EQ(p.osc.vertices[0].colour[0], 0);
    EXPECT_NEAR(p.osc.vertices[44].colour[1], 0.4849 * p.lights.scaledColours[4], 1e-4);

    // The cross pattern: channel 0 along the columns, channel 1 along the rows.
    std::memset(p.wave[1], 0, kOscilloscopeSamples);
    p.wave[1][0] = 100;  // only row 0's block of channel 1
    p.update("No Filter", "Water");
    EXPECT_NEAR(p.height(5, 5), 570 / 1792.0, 1e-5);
    EXPECT_NEAR(p.height(0, 5), 670 / 1792.0, 1e-5);
    p.update("Sine Filter", "Water");
    EXPECT_FLOAT_EQ(p.height(0, 5), 0);
    EXPECT_NEAR(p.height(4, 4), 570 / 1792.0 * p.osc.sineWeights[44], 1e-5);
    p.update("Cosine Filter", "Water");
    EXPECT_NEAR(p.height(9, 0), -0.5 * 570 / 1792.0, 1e-5);
    EXPECT_NEAR(p.osc.vertices[0].colour[0], 0.5 * p.lights.scaledColours[3], 1e-5);
    p.fill(-128, -128);
    p.update("Unknown", "Water");
    EXPECT_NEAR(p.height(9, 0), -0.5 * 570 / 1792.0, 1e-5);  // nothing changes

    // A loud frame crosses the waterfall one row a frame and then leaves it.
    p.rate("2x2");
    p.fill(50, 50);
    p.update("Waveform", "Plain");
    p.fill(0, 0);
    for (int frame = 1; frame <= 20; ++frame) {
        p.osc.updateSurface(1.0f);
        if (frame < 20) {
            EXPECT_GT(p.height(frame, 7), 0) << frame;
        }
        EXPECT_FLOAT_EQ(p.height(frame - 1, 7), 0) << frame;
    }
    // 10 x 30 and 10 x 40: the last rows' channel-1 blocks are cut at the buffer's end.
    for (const char* rate : {"1x3", "2x3", "1x4"}) {
        Parts q;
        q.rate(rate);
        q.fill(0, 1);
        q.update("No Filter", "Plain");
        EXPECT_GT(q.height(q.osc.rows - 1, 0), 0) << rate;
    }
}

TEST(OscilloscopeDrawing, TheTextureScrollsAndEveryModeRestoresTheState) {
    OffscreenContext gl(128, 64);
    ASSERT_TRUE(gl.ok());
    Parts p;
    p.extensions.probe();
    p.settings.dimWidth = 128;
    p.settings.dimHeight = 64;
    Camera(p.settings).applyProjection();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    p.settings.oscRenderingMode = "Striped";
    p.rate("1x1");
    p.fill(40, -30);

    float previous = 0;
    for (int frame = 0; frame < 12; ++frame) {  // the pattern moves every frame, within 0..1
        p.osc.render(1.0f, 10);
        float offset = p.osc.textureOffset[1];
        EXPECT_TRUE(offset > 0 && offset <= 1 && offset != previous) << frame << ": " << offset;
        previous = offset;
    }
    p.settings.oscType = "No Filter";  // no waterfall, no scrolling
    p.osc.render(1.0f, 10);
    EXPECT_FLOAT_EQ(p.osc.textureOffset[1], 0);

    p.settings.oscRotate = 1;
    for (const char* mode : {"Plain", "Striped", "Checked", "Water", "Wireframe", "Explosion",
                             "Smoke", "Nothing"}) {
        p.settings.oscRenderingMode = mode;
        float before[16], after[16], texture[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, before);
        p.osc.render(1.0f, 65);
        glGetFloatv(GL_MODELVIEW_MATRIX, after);
        glGetFloatv(GL_TEXTURE_MATRIX, texture);
        GLboolean depthWrites = GL_FALSE;
        glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
        EXPECT_EQ(std::memcmp(before, after, sizeof after), 0) << mode;
        EXPECT_FLOAT_EQ(texture[13], 0) << mode;
        EXPECT_TRUE(depthWrites && !glIsEnabled(GL_BLEND) && glIsEnabled(GL_TEXTURE_2D) &&
                    glIsEnabled(GL_CULL_FACE))
            << mode;
        for (GLenum array :
             {GL_VERTEX_ARRAY, GL_TEXTURE_COORD_ARRAY, GL_COLOR_ARRAY, GL_NORMAL_ARRAY})
            EXPECT_FALSE(glIsEnabled(array)) << mode << " array " << array;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << mode;
    }
    p.osc.release();
    EXPECT_FALSE(p.osc.hasGrid());
}

}  // namespace
