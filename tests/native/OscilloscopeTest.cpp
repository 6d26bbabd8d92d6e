#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>

#include "assets/GlExtensions.h"
#include "oscilloscope/Oscilloscope.h"
#include "platform/headless/OffscreenContext.h"
#include "scene/Camera.h"
#include "scene/Lights.h"
#include "settings/Settings.h"
#include "tests/native/TestFiles.h"
#include "tools/render/HeadlessRenderer.h"

namespace {

struct Parts {
    Settings settings;
    Lights lights{settings};
    GlExtensions extensions;
    Oscilloscope osc{settings, lights, extensions};
    // Exactly two channels on the heap, so that a read past either end is caught.
    std::unique_ptr<uint8_t[][kOscilloscopeSamples]> wave{new uint8_t[2][kOscilloscopeSamples]()};

    Parts() {
        lights.scaleColours(1.0f);
    }
    void fill(int left, int right) {
        std::memset(wave[0], static_cast<uint8_t>(static_cast<int8_t>(left)), kOscilloscopeSamples);
        std::memset(wave[1], static_cast<uint8_t>(static_cast<int8_t>(right)), kOscilloscopeSamples);
    }
    float height(int row, int column) const {
        return osc.vertices[row * osc.columns + column].position[1];
    }
};

TEST(OscilloscopeGrid, BuildsPositionsTextureCoordinatesWeightsAndStrips) {
    Parts p;
    p.settings.oscSamplingRate = "1x3";
    p.osc.applySamplingRate(p.wave.get());
    EXPECT_EQ(p.osc.columns, 10);
    EXPECT_EQ(p.osc.rows, 30);
    EXPECT_EQ(p.osc.vertexCount(), 300);
    EXPECT_EQ(p.osc.indices[29 * 20 - 1], 28u * 10 + 9);  // 29 strips of 20 indices

    ASSERT_TRUE(p.osc.buildGrid(10, 10));
    const SurfaceVertex& first = p.osc.vertices[0];
    const SurfaceVertex& last = p.osc.vertices[99];
    EXPECT_FLOAT_EQ(first.position[0], -25);
    EXPECT_FLOAT_EQ(first.position[2], -25);
    EXPECT_FLOAT_EQ(first.texture[0] + first.texture[1], 0);
    EXPECT_FLOAT_EQ(last.position[0], 25);
    EXPECT_FLOAT_EQ(last.position[2], 25);
    EXPECT_FLOAT_EQ(last.texture[0], 2);
    EXPECT_FLOAT_EQ(last.texture[1], 2);
    EXPECT_FLOAT_EQ(last.normal[1], -1);
    EXPECT_FLOAT_EQ(last.colour[0] * last.colour[3], 1);
    const uint32_t firstStrip[6] = {10, 0, 11, 1, 12, 2};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(p.osc.indices[k], firstStrip[k]);
    EXPECT_EQ(p.osc.indices[18], 19u);
    EXPECT_EQ(p.osc.indices[19], 9u);

    for (int k = 0; k < 10; ++k) {  // the border
        EXPECT_NEAR(p.osc.sineWeights[k], 0, 1e-6);
        EXPECT_NEAR(p.osc.sineWeights[k * 10], 0, 1e-6);
        EXPECT_NEAR(p.osc.sineWeights[90 + k], 0, 1e-6);
    }
    EXPECT_NEAR(p.osc.sineWeights[4 * 10 + 4], 0.4849, 1e-4);
    EXPECT_NEAR(p.osc.sineWeights[5 * 10 + 5], 0.4849, 1e-4);
    EXPECT_FLOAT_EQ(p.osc.cosineWeights[0], 0.5f);
    EXPECT_NEAR(p.osc.cosineWeights[99], 0.5f, 1e-6);
    EXPECT_NEAR(p.osc.cosineWeights[9], -0.5f, 1e-6);
    EXPECT_NEAR(p.osc.cosineWeights[90], -0.5f, 1e-6);
}

TEST(OscilloscopeGrid, RebuildsOnlyWhenTheSamplingRateChangesToAKnownValue) {
    Parts p;
    p.settings.oscSamplingRate = "5x5";
    p.osc.applySamplingRate(p.wave.get());
    EXPECT_FALSE(p.osc.hasGrid());
    p.settings.oscSamplingRate = "1X3";
    p.osc.applySamplingRate(p.wave.get());
    EXPECT_FALSE(p.osc.hasGrid());

    p.settings.oscSamplingRate = "2x3";
    p.osc.applySamplingRate(p.wave.get());
    ASSERT_TRUE(p.osc.hasGrid());
    p.osc.history[5].position[1] = 3;
    SurfaceVertex* before = p.osc.vertices.get();
    p.osc.applySamplingRate(p.wave.get());  // the same value: the history survives
    EXPECT_EQ(p.osc.vertices.get(), before);
    EXPECT_FLOAT_EQ(p.osc.history[5].position[1], 3);
    p.settings.oscSamplingRate = "9x9";  // unknown: the grid stays
    p.osc.applySamplingRate(p.wave.get());
    EXPECT_EQ(p.osc.columns * 100 + p.osc.rows, 2030);
    p.settings.oscSamplingRate = "4x1";
    p.osc.applySamplingRate(p.wave.get());
    EXPECT_EQ(p.osc.columns * 100 + p.osc.rows, 4010);
    EXPECT_FLOAT_EQ(p.osc.history[5].position[1], 0);
}

TEST(OscilloscopeHeights, FollowTheTypeAndModeForKnownSamples) {
    Parts p;
    p.settings.oscSamplingRate = "1x1";
    p.osc.applySamplingRate(p.wave.get());

    // Silence: flat everywhere, in every type and mode.
    for (const char* type : {"Waveform", "No Filter", "Sine Filter", "Cosine Filter"})
        for (const char* mode : {"Plain", "Water", "Explosion"}) {
            p.settings.oscType = type;
            p.settings.oscRenderingMode = mode;
            p.osc.updateSurface(1.0f);
            for (int n = 0; n < 100; ++n) ASSERT_FLOAT_EQ(p.osc.vertices[n].position[1], 0);
        }

    p.fill(10, 10);
    p.settings.oscType = "Waveform";
    p.settings.oscRenderingMode = "Plain";
    p.osc.updateSurface(1.0f);
    EXPECT_NEAR(p.height(0, 3), 20 * 57 / 1792.0, 1e-5);  // ~0.6362
    EXPECT_FLOAT_EQ(p.height(1, 3), 0);
    p.settings.oscRenderingMode = "Explosion";
    p.osc.updateSurface(1.0f);
    EXPECT_NEAR(p.height(0, 3), 8 * 0.63616, 1e-3);  // the history moved on: row 1 now
    EXPECT_NEAR(p.height(1, 3), 8 * 0.63616, 1e-3);
    p.settings.oscRenderingMode = "Water";
    p.osc.updateSurface(0.5f);
    EXPECT_NEAR(p.height(0, 0), 0, 1e-5);  // i/10 + j/10 a multiple of 1/4
    float v = std::sin(4 * 3.1415927f * 0.1f) * 0.63616f * 2;
    EXPECT_NEAR(p.height(0, 1), 2 * std::log(1 + v), 1e-3);
    EXPECT_NEAR(p.height(0, 3), -2 * std::log(1 + std::fabs(std::sin(4 * 3.1415927f * 0.3f)) *
                                                     0.63616f * 2),
                1e-3);
    // Colours: the sine weight times the diffuse colour; black on the border.
    EXPECT_FLOAT_EQ(p.osc.vertices[0].colour[0], 0);
    EXPECT_NEAR(p.osc.vertices[44].colour[1], 0.4849 * p.lights.scaledColours[4], 1e-4);

    // The cross pattern: channel 0 along the columns, channel 1 along the rows.
    std::memset(p.wave[1], 0, kOscilloscopeSamples);
    p.wave[1][0] = 100;  // only row 0's block of channel 1
    p.settings.oscType = "No Filter";
    p.osc.updateSurface(1.0f);
    EXPECT_NEAR(p.height(5, 5), 570 / 1792.0, 1e-5);
    EXPECT_NEAR(p.height(0, 5), 670 / 1792.0, 1e-5);
    p.settings.oscType = "Sine Filter";
    p.osc.updateSurface(1.0f);
    EXPECT_FLOAT_EQ(p.height(0, 5), 0);
    EXPECT_NEAR(p.height(4, 4), 570 / 1792.0 * p.osc.sineWeights[44], 1e-5);
    p.settings.oscType = "Cosine Filter";
    p.osc.updateSurface(1.0f);
    EXPECT_NEAR(p.height(9, 0), -0.5 * 570 / 1792.0, 1e-5);
    EXPECT_NEAR(p.osc.vertices[0].colour[0], 0.5 * p.lights.scaledColours[3], 1e-5);
    p.settings.oscType = "Unknown";
    p.fill(-128, -128);
    p.osc.updateSurface(1.0f);
    EXPECT_NEAR(p.height(9, 0), -0.5 * 570 / 1792.0, 1e-5);  // nothing changes
}

TEST(OscilloscopeHeights, AWaveformCrossesTheGridInRowsFrames) {
    Parts p;
    p.settings.oscSamplingRate = "2x2";
    p.settings.oscRenderingMode = "Plain";
    p.osc.applySamplingRate(p.wave.get());
    p.fill(50, 50);
    p.osc.updateSurface(1.0f);
    p.fill(0, 0);
    for (int frame = 1; frame < 20; ++frame) {
        p.osc.updateSurface(1.0f);
        EXPECT_GT(p.height(frame, 7), 0) << frame;
        EXPECT_FLOAT_EQ(p.height(frame - 1, 7), 0) << frame;
    }
    p.osc.updateSurface(1.0f);
    for (int n = 0; n < p.osc.vertexCount(); ++n) EXPECT_FLOAT_EQ(p.osc.vertices[n].position[1], 0);
}

TEST(OscilloscopeHeights, FilterBlocksNeverReadPastTheBuffer) {
    // 10 x 30 and 10 x 40: the last rows' channel-1 blocks would reach past sample 575.
    for (const char* rate : {"1x2", "1x3", "2x3", "1x4"}) {
        Parts p;
        p.settings.oscSamplingRate = rate;
        p.settings.oscType = "No Filter";
        p.osc.applySamplingRate(p.wave.get());
        p.fill(0, 1);
        p.osc.updateSurface(1.0f);
        int lastRow = p.osc.rows - 1;
        int rowStep = 576 / p.osc.rows, columnStep = 576 / p.osc.columns;
        int inside = std::min(columnStep, 576 - lastRow * rowStep);
        float gain = 1.0f / (32 * (columnStep - 1));
        EXPECT_NEAR(p.height(lastRow, 0), gain * inside, 1e-6) << rate;
    }
}

TEST(OscilloscopeDrawing, TextureOffsetScrollsWithTheWaterfallAndEveryModeRestoresTheState) {
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
    p.settings.oscSamplingRate = "1x1";
    p.settings.oscRenderingMode = "Striped";
    p.osc.applySamplingRate(p.wave.get());
    p.fill(40, -30);

    float expected = 1;
    for (int frame = 1; frame <= 12; ++frame) {
        p.osc.render(1.0f, 10);
        expected -= 2.0f / 9;
        if (expected <= 0) expected += 1;
        EXPECT_NEAR(p.osc.textureOffset[1], expected, 1e-5) << frame;
    }
    p.settings.oscType = "No Filter";
    p.osc.render(1.0f, 10);
    EXPECT_FLOAT_EQ(p.osc.textureOffset[1], 0);

    for (const char* mode : {"Plain", "Striped", "Checked", "Water", "Wireframe", "Explosion",
                             "Smoke", "Nothing"}) {
        p.settings.oscRenderingMode = mode;
        p.settings.oscRotate = 1;
        float before[16], after[16], texture[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, before);
        p.osc.render(1.0f, 65);
        glGetFloatv(GL_MODELVIEW_MATRIX, after);
        glGetFloatv(GL_TEXTURE_MATRIX, texture);
        EXPECT_EQ(std::memcmp(before, after, sizeof after), 0) << mode;
        EXPECT_FLOAT_EQ(texture[13], 0) << mode;
        EXPECT_FALSE(glIsEnabled(GL_BLEND)) << mode;
        GLboolean depthWrites = GL_FALSE;
        glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
        EXPECT_TRUE(depthWrites) << mode;
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D) && glIsEnabled(GL_CULL_FACE)) << mode;
        EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY) || glIsEnabled(GL_TEXTURE_COORD_ARRAY) ||
                     glIsEnabled(GL_COLOR_ARRAY) || glIsEnabled(GL_NORMAL_ARRAY))
            << mode;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << mode;
    }
    p.osc.release();
    EXPECT_FALSE(p.osc.hasGrid());
}

// Every rendering mode and every type, drawn by the whole scene from a loud signal.
TEST(OscilloscopeDrawing, EveryModeAndTypeDrawsASurfaceWhereItShould) {
    ScratchFolder folder;
    std::filesystem::create_directories(folder.path() + "Plugins/vis_vzrm/Configurations");
    for (const auto& entry : std::filesystem::directory_iterator(VZRM_TEXTURE_FOLDER))
        if (entry.path().extension() == ".tga")
            std::filesystem::copy(entry.path(), folder.path() + "Plugins/vis_vzrm/" +
                                                    entry.path().filename().string());
    std::filesystem::create_directories(VZRM_FRAME_FOLDER);
    struct Look {
        std::string type, mode;
    };
    std::vector<Look> looks;
    for (const char* mode : {"Plain", "Striped", "Checked", "Water", "Explosion", "Smoke",
                             "Wireframe"})
        looks.push_back({"Waveform", mode});
    for (const char* type : {"No Filter", "Sine Filter", "Cosine Filter"})
        looks.push_back({type, "Plain"});

    for (const Look& look : looks) {
        writeTextFile(folder.path() + "Plugins/vis_vzrm/Configurations/vis_vzrm_config.ini",
                      "[Vizorama]\r\noscType=" + look.type + "\r\noscRenderingMode=" + look.mode +
                          "\r\nlhtDiffuse=0x00ffffff\r\noscSamplingRate=2x2\r\nvumOnOff=0\r\n");
        HeadlessRenderer r(folder.path(), 275, 116);
        ASSERT_TRUE(r.ok());
        r.start();

        for (int frame = 0; frame < 25; ++frame) {
            uint8_t wave[2][kWaveformSamples];
            for (int i = 0; i < kWaveformSamples; ++i) {
                wave[0][i] = static_cast<uint8_t>(static_cast<int8_t>(
                    100 * std::sin(0.05 * i + 0.4 * frame)));
                wave[1][i] = static_cast<uint8_t>(static_cast<int8_t>(
                    90 * std::cos(0.03 * i - 0.3 * frame)));
            }
            r.frame(wave);
        }
        std::string name = look.type + "-" + look.mode;
        for (char& c : name)
            if (c == ' ') c = '_';
        EXPECT_TRUE(r.context().savePng(std::string(VZRM_FRAME_FOLDER) + "/osc-" + name + ".png"));
        // The surface lies in the middle band of the picture, not above it.
        int middle = 0, top = 0;
        for (int y = 0; y < 116; y += 2)
            for (int x = 0; x < 275; x += 2) {
                OffscreenContext::Rgba c = r.context().pixel(x, y);
                bool lit = c.r + c.g + c.b > 30;
                if (y < 20) top += lit;
                else middle += lit;
            }
        EXPECT_GT(middle, 138 * 48 / 20) << name;  // at least a twentieth of the picture
        EXPECT_LT(top, middle / 4) << name;
    }
}

}  // namespace
