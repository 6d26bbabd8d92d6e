#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "glres/GlExtensions.h"
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

    explicit Parts(const char* samplingRate) { rate(samplingRate); }
    void rate(const char* value) {
        settings.oscSamplingRate = value;
        osc.applySamplingRate(wave.get());
    }
    void fill(int left, int right) {
        std::memset(wave[0], static_cast<uint8_t>(left), kOscilloscopeSamples);
        std::memset(wave[1], static_cast<uint8_t>(right), kOscilloscopeSamples);
    }
    float height(const char* type, const char* mode, int row, int column) {
        settings.oscType = type;
        settings.oscRenderingMode = mode;
        osc.updateSurface(1.0f);
        return at(row, column);
    }
    float at(int row, int column) const {
        return osc.vertices[row * osc.columns + column].position[1];
    }
    int grid() const { return osc.columns * 100 + osc.rows; }
};

TEST(OscilloscopeGrid, BuildsTheGridAndRebuildsOnlyForANewKnownSamplingRate) {
    Parts p("5x5");
    EXPECT_FALSE(p.osc.hasGrid());
    p.rate("1X3");
    EXPECT_FALSE(p.osc.hasGrid());
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

    // 10 x 10: the corners with their texture coordinates, the first strip's start and end, the
    // sine weights vanishing on the border and the cosine weights changing sign across.
    ASSERT_TRUE(p.osc.buildGrid(10, 10));
    const SurfaceVertex &first = p.osc.vertices[0], &last = p.osc.vertices[99];
    const float *sine = p.osc.sineWeights.get(), *cosine = p.osc.cosineWeights.get();
    const std::vector<float> actual = {
        first.position[0], first.position[2], first.texture[0], last.position[0], last.position[2],
        last.texture[1],   sine[5],           sine[50],         sine[95],         sine[59],
        sine[44],          cosine[0],         cosine[9]};
    const std::vector<float> expected = {-25, -25, 0, 25, 25, 2, 0, 0, 0, 0, 0.4849f, 0.5f, -0.5f};
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(actual[i], expected[i], 1e-4) << i;
    const uint32_t strip[8] = {10, 0, 11, 1, 12, 2, 19, 9};
    for (int k = 0; k < 8; ++k) EXPECT_EQ(p.osc.indices[k < 6 ? k : k + 12], strip[k]) << k;
}

TEST(OscilloscopeHeights, FollowTheTypeAndModeAndStayInsideTheWaveform) {
    Parts p("1x1");
    p.fill(10, 10);
    const float block = 20 * 57 / 1792.0f;  // two blocks of 57 samples of 10
    EXPECT_NEAR(p.height("Waveform", "Plain", 0, 3), block, 1e-5);
    // The history moved on to row 1; sprites scale by 8.
    EXPECT_NEAR(p.height("Waveform", "Explosion", 1, 3), 8 * block, 1e-3);
    // Water: a diagonal ripple with zero, crest and trough.
    EXPECT_NEAR(p.height("Waveform", "Water", 0, 0), 0, 1e-5);
    EXPECT_GT(p.height("Waveform", "Water", 0, 1), 0.5f);
    EXPECT_LT(p.height("Waveform", "Water", 0, 3), -0.5f);

    // The cross pattern: channel 0 along the columns, channel 1 along the rows.
    std::memset(p.wave[1], 0, kOscilloscopeSamples);
    p.wave[1][0] = 100;  // only row 0's block of channel 1
    EXPECT_NEAR(p.height("No Filter", "Water", 5, 5), 570 / 1792.0, 1e-5);
    EXPECT_NEAR(p.height("No Filter", "Water", 0, 5), 670 / 1792.0, 1e-5);
    EXPECT_FLOAT_EQ(p.height("Sine Filter", "Water", 0, 5), 0);
    EXPECT_NEAR(p.height("Sine Filter", "Water", 4, 4), 570 / 1792.0 * p.osc.sineWeights[44], 1e-5);
    EXPECT_NEAR(p.height("Cosine Filter", "Water", 9, 0), -0.5 * 570 / 1792.0, 1e-5);
    p.fill(-128, -128);
    EXPECT_NEAR(p.height("Unknown", "Water", 9, 0), -0.5 * 570 / 1792.0, 1e-5);  // unchanged

    // A loud frame crosses the waterfall one row a frame.
    p.rate("2x2");
    p.fill(50, 50);
    p.height("Waveform", "Plain", 0, 0);
    p.fill(0, 0);
    for (int frame = 1; frame < 20; ++frame) {
        EXPECT_GT(p.height("Waveform", "Plain", frame, 7), 0) << frame;
        EXPECT_FLOAT_EQ(p.at(frame - 1, 7), 0) << frame;
    }
    // 10 x 30 and 10 x 40: the last rows' channel-1 blocks are cut at the buffer's end.
    for (const char* rate : {"1x3", "2x3", "1x4"}) {
        Parts q(rate);
        q.fill(0, 1);
        EXPECT_GT(q.height("No Filter", "Plain", q.osc.rows - 1, 0), 0) << rate;
    }
}

TEST(OscilloscopeDrawing, EveryModeRestoresTheState) {
    OffscreenContext gl(128, 64);
    ASSERT_TRUE(gl.ok());
    Parts p("1x1");
    p.extensions.probe();
    Camera(p.settings).applyProjection();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    p.fill(40, -30);
    p.settings.oscRotate = 1;
    for (const char* mode :
         {"Plain", "Striped", "Checked", "Water", "Wireframe", "Explosion", "Smoke", "Nothing"}) {
        p.settings.oscRenderingMode = mode;
        float before[16], after[16], texture[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, before);
        p.osc.render(1.0f, 65);
        glGetFloatv(GL_MODELVIEW_MATRIX, after);
        glGetFloatv(GL_TEXTURE_MATRIX, texture);
        GLboolean depthWrites = GL_FALSE;
        glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
        EXPECT_TRUE(depthWrites && !glIsEnabled(GL_BLEND) && glIsEnabled(GL_TEXTURE_2D) &&
                    glIsEnabled(GL_CULL_FACE) && !std::memcmp(before, after, sizeof after) &&
                    texture[13] == 0)
            << mode;
        EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY) || glIsEnabled(GL_TEXTURE_COORD_ARRAY) ||
                     glIsEnabled(GL_COLOR_ARRAY) || glIsEnabled(GL_NORMAL_ARRAY))
            << mode << ": client arrays left on";
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << mode;
    }
    p.osc.release();
    EXPECT_FALSE(p.osc.hasGrid());
}

}  // namespace
