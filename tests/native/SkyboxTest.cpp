#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "scene/Scene.h"
#include "tests/native/TestFiles.h"
#include "tools/render/HeadlessRenderer.h"

namespace {

namespace fs = std::filesystem;

class SkyboxFixture : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(folder.path() + "Plugins/vis_vzrm/Configurations");
        fs::copy(VZRM_TEXTURE_FOLDER, folder.path() + "Plugins/vis_vzrm",
                 fs::copy_options::recursive | fs::copy_options::skip_existing);
        fs::copy(skyboxFolder("Late Afternoon"), skyboxFolder("No Top"), fs::copy_options::recursive);
        fs::remove(skyboxFolder("No Top") + "/Up.tga");
    }
    std::string skyboxFolder(const std::string& name) const {
        return folder.path() + "Plugins/vis_vzrm/Skyboxes/" + name;
    }
    void settings(const std::string& keys) {
        writeTextFile(folder.path() + "Plugins/vis_vzrm/Configurations/vis_vzrm_config.ini",
                      "[Vizorama]\r\noscOnOff=0\r\nvumOnOff=0\r\n" + keys);
    }
    static bool registered(HeadlessRenderer& r, GLuint name) {
        const auto& list = r.scene.textureLoader->registeredTextures();
        return name && std::find(list.begin(), list.end(), name) != list.end();
    }

    ScratchFolder folder;
    uint8_t silence[2][kWaveformSamples] = {};
};

TEST_F(SkyboxFixture, LoadsWhenTheNameChangesWhileTheBackgroundIsOn) {
    settings("bgrOnOff=0\r\nbgrName=Late Afternoon\r\n");
    HeadlessRenderer r(folder.path(), 160, 80);
    ASSERT_TRUE(r.ok());
    r.start();
    Skybox& sky = *r.scene.skybox;
    EXPECT_EQ(sky.currentName, "");  // off: nothing loaded
    r.frame(silence);
    EXPECT_EQ(sky.upperList, 0u);

    settings("bgrOnOff=1\r\nbgrName=Late Afternoon\r\n");
    r.frame(silence);
    EXPECT_EQ(sky.currentName, "Late Afternoon");
    for (GLuint face : sky.faceTextures) EXPECT_TRUE(registered(r, face));
    GLuint upper = sky.upperList;
    EXPECT_NE(upper, 0u);
    r.frame(silence);  // the same name: nothing reloads
    EXPECT_EQ(sky.upperList, upper);

    // The background fills the picture; without it the frame is black.
    int lit = 0;
    for (int y = 0; y < 80; y += 4)
        for (int x = 0; x < 160; x += 4) lit += r.context().pixel(x, y).r > 40;
    EXPECT_GT(lit, 40 * 20 / 2);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST) && glIsEnabled(GL_LIGHTING));

    settings("bgrOnOff=1\r\nbgrName=No Top\r\n");
    r.frame(silence);
    EXPECT_EQ(sky.faceTextures[4], 0u);  // Up is missing: a white top face
    EXPECT_TRUE(registered(r, sky.faceTextures[0]));

    // A new texture depth reloads the skybox too, although its name is the same.
    settings("bgrOnOff=1\r\nbgrName=No Top\r\ntexBits=32\r\n");
    r.frame(silence);
    EXPECT_EQ(r.scene.textureSetLoads, 2);
    EXPECT_TRUE(registered(r, sky.faceTextures[0]));
    EXPECT_EQ(sky.currentName, "No Top");

    // An empty name loads nothing unless forced; forced, it looks in the skyboxes folder itself.
    settings("bgrOnOff=1\r\nbgrName=\r\ntexBits=32\r\n");
    r.frame(silence);
    EXPECT_EQ(sky.currentName, "No Top");
    sky.load(*r.scene.textureLoader, true);
    EXPECT_EQ(sky.currentName, "");
    EXPECT_EQ(sky.faceTextures[0], 0u);
}

}  // namespace
