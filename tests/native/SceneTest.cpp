#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "platform/Platform.h"
#include "scene/Scene.h"
#include "tests/native/TestFiles.h"
#include "tools/render/HeadlessRenderer.h"

namespace {

// A player folder with the generated texture set and a settings file.
class SceneFixture : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(folder.path() + "Plugins/vis_vzrm/Configurations");
        for (const auto& entry : std::filesystem::directory_iterator(VZRM_TEXTURE_FOLDER))
            if (entry.path().extension() == ".tga")
                std::filesystem::copy(entry.path(),
                                      folder.path() + "Plugins/vis_vzrm/" +
                                          entry.path().filename().string());
    }
    void settings(const std::string& keys) {
        writeTextFile(folder.path() + "Plugins/vis_vzrm/Configurations/vis_vzrm_config.ini",
                      "[Vizorama]\r\n" + keys);
    }
    // Lit pixels (any channel above 40) in the picture, every other pixel counted.
    static int litPixels(OffscreenContext& gl) {
        int lit = 0;
        for (int y = 0; y < gl.height(); y += 2)
            for (int x = 0; x < gl.width(); x += 2) {
                OffscreenContext::Rgba p = gl.pixel(x, y);
                lit += p.r > 40 || p.g > 40 || p.b > 40;
            }
        return lit;
    }

    ScratchFolder folder;
    uint8_t silence[2][kWaveformSamples] = {};
    uint8_t loud[2][kWaveformSamples];
};

TEST_F(SceneFixture, StartsWithTheLoadingPictureAndLeavesTheStateItFixed) {
    settings("lhtOnOff=1\r\n");
    std::string before = platform::currentDirectory();
    HeadlessRenderer r(folder.path(), 275, 116);
    ASSERT_TRUE(r.ok());
    r.start();
    EXPECT_TRUE(r.scene.sceneReady);
    EXPECT_EQ(platform::currentDirectory(), before);
    EXPECT_EQ(r.loadingScreensShown, 1);
    EXPECT_GT(litPixels(r.context()), 275 * 116 / 4 / 3) << "the loading picture is missing";
    EXPECT_EQ(r.textureLoaderTextures(), 6u);
    EXPECT_NE(r.scene.lights->pulsarTexture, 0u);

    float modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    showLoadingScreen(r.scene, r);
    float after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    EXPECT_EQ(std::memcmp(modelview, after, sizeof after), 0);

    r.frame(silence);
    int blend = 0;
    glGetIntegerv(GL_BLEND_DST, &blend);
    EXPECT_EQ(blend, GL_ONE);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE) && glIsEnabled(GL_DEPTH_TEST) &&
                glIsEnabled(GL_TEXTURE_2D) && glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(SceneFixture, LoudFramesFlareMoreThanSilentOnesAndArePicturesToLookAt) {
    settings("lhtOnOff=1\r\n");
    std::memset(loud, 0x80, sizeof loud);
    HeadlessRenderer r(folder.path(), 550, 232);
    ASSERT_TRUE(r.ok());
    r.start();
    for (int i = 0; i < 3; ++i) r.frame(silence);
    int quiet = litPixels(r.context());
    std::filesystem::create_directories(VZRM_FRAME_FOLDER);
    EXPECT_TRUE(r.context().savePng(VZRM_FRAME_FOLDER "/silence.png"));
    for (int i = 0; i < 3; ++i) r.frame(loud);
    int flaring = litPixels(r.context());
    EXPECT_TRUE(r.context().savePng(VZRM_FRAME_FOLDER "/loud.png"));
    EXPECT_GT(quiet, 0) << "no pulsars in silence";
    EXPECT_GT(flaring, quiet * 5);
}

TEST_F(SceneFixture, FollowsTheFileEveryFrame) {
    settings("lhtOnOff=1\r\ntexBits=16\r\n");
    HeadlessRenderer r(folder.path(), 200, 100);
    ASSERT_TRUE(r.ok());
    r.start();
    EXPECT_EQ(r.scene.textureSetLoads, 1);

    // An odd depth loads like 16 and does not reload every frame; 32 reloads once.
    settings("lhtOnOff=1\r\ntexBits=24\r\n");
    for (int i = 0; i < 3; ++i) r.frame(silence);
    EXPECT_EQ(r.scene.textureSetLoads, 1);
    settings("lhtOnOff=1\r\ntexBits=32\r\n");
    for (int i = 0; i < 3; ++i) r.frame(silence);
    EXPECT_EQ(r.scene.textureSetLoads, 2);
    EXPECT_EQ(r.scene.textureLoader->texBits, 32);
    EXPECT_EQ(r.textureLoaderTextures(), 6u);
    EXPECT_EQ(r.loadingScreensShown, 2);

    // The stroboscope at "Always": dark and lit frames take turns.
    settings("lhtOnOff=1\r\ntexBits=32\r\nlhtStroboscope=10\r\n");
    int lit[4];
    for (int& l : lit) {
        r.frame(silence);
        l = litPixels(r.context());
    }
    EXPECT_TRUE((lit[0] == 0) != (lit[1] == 0)) << lit[0] << " " << lit[1];
    EXPECT_TRUE((lit[1] == 0) != (lit[2] == 0)) << lit[1] << " " << lit[2];
    EXPECT_TRUE((lit[2] == 0) != (lit[3] == 0)) << lit[2] << " " << lit[3];
}

TEST_F(SceneFixture, WithoutItsTexturesTheSceneStillRuns) {
    for (const auto& entry : std::filesystem::directory_iterator(folder.path() + "Plugins/vis_vzrm"))
        if (entry.path().extension() == ".tga") std::filesystem::remove(entry.path());
    settings("lhtOnOff=1\r\n");
    HeadlessRenderer r(folder.path(), 100, 50);
    ASSERT_TRUE(r.ok());
    r.start();
    EXPECT_TRUE(r.scene.sceneReady);
    EXPECT_EQ(r.scene.lights->pulsarTexture, 0u);
    EXPECT_EQ(r.textureLoaderTextures(), 0u);
    r.frame(silence);
    EXPECT_GT(litPixels(r.context()), 0);  // untextured pulsars
}

TEST(GlExtensionsTest, CompiledArraysNeedTheNameAndBothEntryPoints) {
    GlExtensions e;
    int dummy = 0;
    auto found = [&](const char*) -> void* { return &dummy; };
    auto missing = [](const char*) -> void* { return nullptr; };
    e.probe("GL_ARB_multitexture GL_EXT_compiled_vertex_array GL_EXT_bgra", found);
    EXPECT_EQ(e.compiledVertexArrays, 1);
    EXPECT_NE(e.lockArrays, nullptr);
    e.probe("GL_EXT_compiled_vertex_array", missing);
    EXPECT_EQ(e.compiledVertexArrays, 0);
    EXPECT_EQ(e.unlockArrays, nullptr);
    e.probe("GL_ARB_multitexture", found);
    EXPECT_EQ(e.compiledVertexArrays, 0);
    e.probe(nullptr, found);
    EXPECT_EQ(e.compiledVertexArrays, 0);

    OffscreenContext gl(8, 8);
    ASSERT_TRUE(gl.ok());
    e.probe();
    const char* real = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    EXPECT_EQ(e.compiledVertexArrays,
              real && std::strstr(real, "GL_EXT_compiled_vertex_array") ? 1 : 0);
}

}  // namespace
