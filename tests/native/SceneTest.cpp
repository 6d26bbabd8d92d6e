#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "readers/TgaImage.h"
#include "platform/Platform.h"
#include "scene/Scene.h"
#include "tests/native/TestFiles.h"
#include "tools/render/HeadlessRenderer.h"

namespace {

namespace fs = std::filesystem;

// A player folder with the generated texture set and a settings file.
class SceneFixture : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(plugin + "Configurations");
        fs::create_directories(VZRM_FRAME_FOLDER);
        for (const auto& entry : fs::directory_iterator(VZRM_TEXTURE_FOLDER))
            if (entry.path().extension() == ".tga") fs::copy(entry.path(), plugin);
    }
    void settings(const std::string& keys) {
        writeTextFile(plugin + "Configurations/vis_vzrm_config.ini", "[Vizorama]\r\n" + keys);
    }
    // Lit pixels (any channel above 40) in the picture, every other pixel counted; in the top
    // rows only, when given.
    static int litPixels(OffscreenContext& gl, int rows = 0) {
        int lit = 0;
        for (int y = 0; y < (rows ? rows : gl.height()); y += 2)
            for (int x = 0; x < gl.width(); x += 2) {
                OffscreenContext::Rgba p = gl.pixel(x, y);
                lit += p.r > 40 || p.g > 40 || p.b > 40;
            }
        return lit;
    }

    bool lastCornerKept = false;
    ScratchFolder folder;
    std::string plugin = folder.path() + "Plugins/vis_vzrm/";
    uint8_t silence[2][kWaveformSamples] = {};
};

TEST_F(SceneFixture, StartsWithTheLoadingPictureFollowsTheFileAndRunsWithoutTextures) {
    settings("lhtOnOff=1\r\ntexBits=16\r\n");
    std::string before = platform::currentDirectory();
    HeadlessRenderer r(folder.path(), 550, 232);
    ASSERT_TRUE(r.ok());
    r.start();
    EXPECT_TRUE(r.scene.sceneReady);
    EXPECT_EQ(platform::currentDirectory(), before);
    EXPECT_EQ(r.loadingScreensShown, 1);
    EXPECT_GT(litPixels(r.context()), 550 * 232 / 4 / 3) << "the loading picture is missing";
    EXPECT_EQ(r.textureLoaderTextures(), 6u);
    EXPECT_NE(r.scene.lights->pulsarTexture, 0u);
    // The loading picture shown before the set loaded is kept by the set (read once).
    EXPECT_EQ(r.scene.textureLoader->registeredTextures().front(), r.scene.loadingTexture);

    r.frame(silence);  // the fixed state after a whole frame
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE) && glIsEnabled(GL_DEPTH_TEST) &&
                glIsEnabled(GL_TEXTURE_2D) && glIsEnabled(GL_LIGHTING) && !glIsEnabled(GL_BLEND));

    // An odd depth loads like 16 and does not reload every frame; 32 reloads once, showing the
    // loading picture again.
    for (int bits : {24, 32}) {
        settings("lhtOnOff=1\r\ntexBits=" + std::to_string(bits) + "\r\n");
        for (int i = 0; i < 3; ++i) r.frame(silence);
        EXPECT_EQ(r.scene.textureSetLoads, bits == 24 ? 1 : 2) << bits;
    }
    EXPECT_EQ(r.textureLoaderTextures(), 6u);
    EXPECT_EQ(r.loadingScreensShown, 2);
    // The depth changed: the loading picture was made again, at 8 bits a channel.
    GLint format = 0;
    glBindTexture(GL_TEXTURE_2D, r.scene.loadingTexture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(format, GL_RGB8);

    // The stroboscope at "Always": dark and lit frames take turns.
    settings("lhtOnOff=1\r\ntexBits=32\r\nlhtStroboscope=10\r\n");
    std::string frames;
    for (int i = 0; i < 4; ++i) {
        r.frame(silence);
        frames += litPixels(r.context()) ? 'L' : 'D';
    }
    EXPECT_TRUE(frames == "DLDL" || frames == "LDLD") << frames;

    // Pictures to look at: loud frames flare far more than silent ones.
    settings("lhtOnOff=1\r\ntexBits=32\r\n");
    uint8_t loud[2][kWaveformSamples];
    std::memset(loud, 0x80, sizeof loud);
    int lit[2];
    for (int loudness : {0, 1}) {
        for (int i = 0; i < 3; ++i) r.frame(loudness ? loud : silence);
        lit[loudness] = litPixels(r.context());
        EXPECT_TRUE(r.context().savePng(std::string(VZRM_FRAME_FOLDER) +
                                        (loudness ? "/loud.png" : "/silence.png")));
    }
    EXPECT_GT(lit[0], 0) << "no pulsars in silence";
    EXPECT_GT(lit[1], lit[0] * 5);

    // Without any of its textures the scene still starts and shows untextured pulsars.
    for (const auto& entry : fs::directory_iterator(plugin))
        if (entry.path().extension() == ".tga") fs::remove(entry.path());
    settings("lhtOnOff=1\r\n");
    HeadlessRenderer bare(folder.path(), 100, 50);
    ASSERT_TRUE(bare.ok());
    bare.start();
    EXPECT_TRUE(bare.scene.sceneReady);
    EXPECT_EQ(bare.scene.lights->pulsarTexture + bare.textureLoaderTextures(), 0u);
    bare.frame(silence);
    EXPECT_GT(litPixels(bare.context()), 0);
}

// Every oscilloscope rendering mode and type, drawn by the whole scene from a loud signal.
TEST_F(SceneFixture, EveryOscilloscopeModeAndTypeDrawsASurfaceWhereItShould) {
    const char* const looks[][2] = {{"Waveform", "Plain"},     {"Waveform", "Striped"},
                                    {"Waveform", "Checked"},   {"Waveform", "Water"},
                                    {"Waveform", "Explosion"}, {"Waveform", "Smoke"},
                                    {"Waveform", "Wireframe"}, {"No Filter", "Plain"},
                                    {"Sine Filter", "Plain"},  {"Cosine Filter", "Plain"}};
    for (const auto& [type, mode] : looks) {
        settings(std::string("oscType=") + type + "\r\noscRenderingMode=" + mode +
                 "\r\nlhtDiffuse=0x00ffffff\r\noscSamplingRate=2x2\r\nvumOnOff=0\r\n");
        HeadlessRenderer r(folder.path(), 275, 116);
        ASSERT_TRUE(r.ok());
        r.start();
        uint8_t wave[2][kWaveformSamples];
        for (int frame = 0; frame < 25; ++frame) {
            for (int i = 0; i < kWaveformSamples; ++i) {
                wave[0][i] =
                    static_cast<uint8_t>(std::lround(100 * std::sin(0.05 * i + 0.4 * frame)));
                wave[1][i] =
                    static_cast<uint8_t>(std::lround(90 * std::cos(0.03 * i - 0.3 * frame)));
            }
            r.frame(wave);
        }
        std::string name = std::string(type) + "-" + mode;
        for (char& c : name) c = c == ' ' ? '_' : c;
        EXPECT_TRUE(r.context().savePng(std::string(VZRM_FRAME_FOLDER) + "/osc-" + name + ".png"));
        // The surface lies in the middle band of the picture, not above it.
        int top = litPixels(r.context(), 20), middle = litPixels(r.context()) - top;
        EXPECT_GT(middle, 138 * 48 / 20) << name;  // at least a twentieth of the picture
        EXPECT_LT(top, middle / 4) << name;
    }
}

// Sprites clipped to their frames' outlines give the same pictures as whole squares, within one
// step but for isolated pixels: with our sheet, and with a sheet of lone texels on cell edges and corners, which linear
// filtering also shows in the next cell. On our sheet the outlines cut the corners away.
TEST_F(SceneFixture, SpriteOutlinesKeepThePicture) {
    settings("lhtOnOff=1\r\noscSamplingRate=2x2\r\noscRenderingMode=Explosion\r\n");
    auto draw = [&](bool outlined, std::vector<uint8_t>& pictures) {
        HeadlessRenderer r(folder.path(), 200, 150);
        ASSERT_TRUE(r.ok());
        r.start();
        if (!outlined) r.scene.lights->outlineSprites(TgaImage{});
        uint8_t wave[2][kWaveformSamples];
        for (int frame = 0; frame < 8; ++frame) {
            for (int i = 0; i < kWaveformSamples; ++i) {
                wave[0][i] = static_cast<uint8_t>(std::lround(110 * std::sin(0.07 * i + frame)));
                wave[1][i] = static_cast<uint8_t>(std::lround(100 * std::cos(0.05 * i - frame)));
            }
            r.frame(wave);
            for (int y = 0; y < 150; ++y)
                for (int x = 0; x < 200; ++x) {
                    OffscreenContext::Rgba p = r.context().pixel(x, y);
                    pictures.insert(pictures.end(), {p.r, p.g, p.b});
                }
        }
        if (outlined) {
            const SpriteOutline& first = r.scene.lights->spriteOutlines[0];
            bool cornerKept = true;
            for (const auto& plane : first.planes) cornerKept &= 8 * plane[0] + 8 * plane[1] + plane[3] >= 0;
            lastCornerKept = cornerKept;
        }
    };
    auto compare = [&](const char* sheet) {
        std::vector<uint8_t> whole, outlined;
        draw(false, whole);
        draw(true, outlined);
        ASSERT_EQ(whole.size(), outlined.size());
        int off = 0, lit = 0;
        for (size_t i = 0; i < whole.size(); ++i) {
            off += std::abs(whole[i] - outlined[i]) > 1;
            lit += whole[i] > 0;
        }
        // Clipping adds vertices; a rasterizer interpolates a few pixels of the thin triangles
        // it makes a little differently (llvmpipe: a handful in a million values).
        EXPECT_LE(off, static_cast<int>(whole.size() / 100000)) << sheet;
        EXPECT_GT(lit, static_cast<int>(whole.size() / 20)) << sheet << ": too dark to compare";
    };
    compare("our sheet");
    EXPECT_FALSE(lastCornerKept);

    // 64 x 64, cells of 16: each frame cell has white texels on its edges and corners only.
    std::vector<std::string> rows(64, std::string(64 * 3, '\0'));
    for (int cell = 0; cell < 16; ++cell) {
        const int left = cell % 4 * 16, top = cell / 4 * 16;
        for (auto [x, y] : {std::pair{0, 0}, {15, 15}, {7, 0}, {15, 4}, {0, 11}, {9, 15}})
            rows[top + y].replace((left + x) * 3, 3, "\xff\xff\xff");
    }
    writeTextFile(plugin + "Pulsar.tga", tgaFile({0, 2, 64, 64, 24, 0x20}, tgaPixels(rows, 3, true)));
    compare("edge texels");
    EXPECT_TRUE(lastCornerKept);
}

// Compiled vertex arrays are used only with the name and both entry points; a null entry
// point would be called on every frame.
TEST(GlExtensionsTest, CompiledArraysNeedTheNameAndBothEntryPoints) {
    GlExtensions e;
    int dummy = 0;
    auto found = [&](const char*) -> void* { return &dummy; };
    e.probe("GL_ARB_multitexture GL_EXT_compiled_vertex_array GL_EXT_bgra", found);
    EXPECT_TRUE(e.compiledVertexArrays == 1 && e.lockArrays && e.unlockArrays);
    e.probe("GL_EXT_compiled_vertex_array", [](const char*) -> void* { return nullptr; });
    EXPECT_EQ(e.compiledVertexArrays, 0);
    e.probe("GL_ARB_multitexture", found);
    EXPECT_EQ(e.compiledVertexArrays, 0);
    e.probe(nullptr, found);
    EXPECT_EQ(e.compiledVertexArrays, 0);
}

// A look read ahead (preloadAssets) shows at its change exactly as a look loaded then: the same
// pictures, its textures made before the change and none after. While it is read and made, a
// piece a frame, and its model drawn ahead, the frames stay those of a scene without it.
TEST_F(SceneFixture, APreloadedLookShowsAsALoadedOne) {
    for (const char* assets : {"Models", "Skyboxes"})
        fs::copy(std::string(VZRM_TEXTURE_FOLDER) + "/" + assets, plugin + assets,
                 fs::copy_options::recursive);
    const std::string before = "lhtOnOff=1\r\nmdlOnOff=1\r\nmdlName=Knot\r\nbgrOnOff=0\r\n";
    const std::string after = "lhtOnOff=1\r\nmdlOnOff=1\r\nmdlName=Vizorama\r\nbgrOnOff=1\r\n"
                              "bgrName=Late Afternoon\r\n";
    auto picture = [](OffscreenContext& gl) {
        std::vector<uint32_t> rgba;
        for (int y = 0; y < gl.height(); ++y)
            for (int x = 0; x < gl.width(); ++x) {
                OffscreenContext::Rgba p = gl.pixel(x, y);
                rgba.push_back(uint32_t{p.r} | uint32_t{p.g} << 8 | uint32_t{p.b} << 16);
            }
        return rgba;
    };
    std::vector<std::vector<uint32_t>> frames[2];
    size_t textures[2][2];
    int preloadFrames = 0;
    for (int preloading : {1, 0}) {
        SCOPED_TRACE(preloading ? "preloaded" : "loaded at the change");
        settings(before);
        HeadlessRenderer r(folder.path(), 160, 120);
        ASSERT_TRUE(r.ok());
        r.start();
        const size_t start = r.textureLoaderTextures();
        if (preloading) preloadAssets(r.scene, r, "Vizorama", "Late Afternoon");
        // Until every picture is made: the model's two, then the sky's six, one a frame.
        for (int i = 0; preloading ? r.textureLoaderTextures() < start + 8 : i < preloadFrames;
             ++i) {
            ASSERT_LT(i, 6000) << "the worker never finished";
            if (preloading && !r.scene.preload->ready())
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            r.frame(silence);
            frames[preloading].push_back(picture(r.context()));
            if (preloading) preloadFrames = i + 1;
        }
        if (preloading) {
            EXPECT_NE(r.scene.preloadDrawn, nullptr) << "the model was not drawn ahead";
        }
        textures[preloading][0] = r.textureLoaderTextures();
        settings(after);
        for (int i = 0; i < 3; ++i) {
            r.frame(silence);
            frames[preloading].push_back(picture(r.context()));
        }
        textures[preloading][1] = r.textureLoaderTextures();
        EXPECT_EQ(r.scene.model->loadedName.differsFrom(r.scene.settings->mdlName), false);
    }
    // The change released Knot's picture and made none.
    EXPECT_EQ(textures[1][1], textures[1][0] - 1) << "the change made textures of its own";
    EXPECT_EQ(textures[1][1], textures[0][1]);
    ASSERT_EQ(frames[0].size(), frames[1].size());
    for (size_t i = 0; i < frames[0].size(); ++i) EXPECT_TRUE(frames[0][i] == frames[1][i]) << "frame " << i;
}

}  // namespace
