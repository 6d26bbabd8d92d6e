#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "readers/AssetFolder.h"
#include "scene/Scene.h"
#include "settings/FolderName.h"
#include "tests/native/TestFiles.h"
#include "tools/render/HeadlessRenderer.h"
#include "tools/texgen/SkyboxArt.h"

namespace {

namespace fs = std::filesystem;

TEST(SkyboxTest, LoadsWhenTheNameOrTheDepthChangesWhileTheBackgroundIsOn) {
    ScratchFolder folder;
    const std::string plugin = folder.path() + "Plugins/vis_vzrm/";
    fs::create_directories(plugin);
    fs::copy(VZRM_TEXTURE_FOLDER, plugin, fs::copy_options::recursive);
    fs::copy(plugin + "Skyboxes/Late Afternoon", plugin + "Skyboxes/No Top");
    fs::remove(plugin + "Skyboxes/No Top/Up.tga");
    const std::string ini = plugin + "Configurations/vis_vzrm_config.ini";
    writeTextFile(ini, "[Vizorama]\r\nbgrOnOff=0\r\nbgrName=Late Afternoon\r\n");
    HeadlessRenderer r(folder.path(), 160, 80);
    ASSERT_TRUE(r.ok());
    r.start();
    const uint8_t silence[2][kWaveformSamples] = {};
    r.frame(silence);
    Skybox& sky = *r.scene.skybox;
    EXPECT_TRUE(sky.loadedName.text().empty() && sky.upperList == 0);  // off: nothing loaded
    auto frame = [&](const std::string& keys) {
        writeTextFile(ini, "[Vizorama]\r\noscOnOff=0\r\nvumOnOff=0\r\nbgrOnOff=1\r\n" + keys);
        r.frame(silence);
    };
    auto registered = [&](GLuint name) {
        const auto& list = r.scene.textureLoader->registeredTextures();
        return name && std::find(list.begin(), list.end(), name) != list.end();
    };

    frame("bgrName=Late Afternoon\r\n");
    EXPECT_EQ(sky.loadedName.text(), "Late Afternoon");
    for (GLuint face : sky.faceTextures) EXPECT_TRUE(registered(face));
    GLuint upper = sky.upperList;
    EXPECT_NE(upper, 0u);
    frame("bgrName=Late Afternoon\r\n");  // the same name: nothing reloads
    EXPECT_EQ(sky.upperList, upper);
    // The background fills the picture; without it the frame is black.
    int lit = 0;
    for (int y = 0; y < 80; y += 4)
        for (int x = 0; x < 160; x += 4) lit += r.context().pixel(x, y).r > 40;
    EXPECT_GT(lit, 40 * 20 / 2);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST) && glIsEnabled(GL_LIGHTING));

    frame("bgrName=No Top\r\n");
    EXPECT_EQ(sky.faceTextures[4], 0u);  // Up is missing: a white top face
    EXPECT_TRUE(registered(sky.faceTextures[0]));
    // A new texture depth reloads the skybox too, although its name is the same.
    frame("bgrName=No Top\r\ntexBits=32\r\n");
    EXPECT_EQ(r.scene.textureSetLoads, 2);
    EXPECT_TRUE(registered(sky.faceTextures[0]));
    EXPECT_EQ(sky.loadedName.text(), "No Top");
    // An empty name loads nothing unless forced; forced, it looks in the skyboxes folder itself.
    frame("bgrName=\r\ntexBits=32\r\n");
    EXPECT_EQ(sky.loadedName.text(), "No Top");
    ASSERT_TRUE(sky.wantsLoad(true));
    sky.load(*r.scene.textureLoader, r.assetFolder(AssetKind::Skybox, ""));
    EXPECT_TRUE(sky.loadedName.text().empty() && sky.faceTextures[0] == 0);
    // A skybox "folder" that is a file, while the current folder holds another sky: all white.
    writeTextFile(plugin + "Skyboxes/File", "");
    const fs::path current = fs::current_path();
    fs::current_path(plugin + "Skyboxes/Late Afternoon");
    frame("bgrName=File\r\n");
    fs::current_path(current);
    for (GLuint face : sky.faceTextures) EXPECT_EQ(face, 0u);
    EXPECT_NE(sky.upperList, 0u);
    // Names that lead to a real sky outside the skyboxes folder: white faces, as for a missing
    // folder.
    fs::copy(plugin + "Skyboxes/Late Afternoon", folder.path() + "Elsewhere");
    for (const std::string& name :
         {std::string("../../../Elsewhere"), std::string("..\\..\\..\\Elsewhere"),
          folder.path() + "Elsewhere", std::string("Late Afternoon/../../../Elsewhere")}) {
        frame("bgrName=Late Afternoon\r\n");
        ASSERT_NE(sky.faceTextures[0], 0u);
        frame("bgrName=" + name + "\r\n");
        for (GLuint face : sky.faceTextures) EXPECT_EQ(face, 0u) << name;
    }
}

TEST(SkyboxTest, OurSkiesAreStagedAsTheGeneratorWritesThemSixSquareFacesEach) {
    ScratchFolder folder;
    std::string error;
    ASSERT_TRUE(writeSkyboxes(folder.path(), error)) << error;
    int skies = 0;
    for (const auto& sky : fs::directory_iterator(folder.path() + "Skyboxes")) {
        ++skies;
        const std::string name = sky.path().filename().string();
        for (const char* face : {"Left", "Right", "Back", "Front", "Up", "Down"}) {
            const std::string relative = "Skyboxes/" + name + "/" + face + ".tga";
            const std::string bytes = readTextFile(folder.path() + relative);
            EXPECT_TRUE(bytes == readTextFile(std::string(VZRM_TEXTURE_FOLDER) + "/" + relative))
                << relative;
            // Uncompressed, 24-bit, square with sides a power of two.
            ASSERT_GE(bytes.size(), 18u) << relative;
            const int width = static_cast<uint8_t>(bytes[12]) | static_cast<uint8_t>(bytes[13]) << 8;
            const int height = static_cast<uint8_t>(bytes[14]) | static_cast<uint8_t>(bytes[15]) << 8;
            EXPECT_TRUE(bytes[2] == 2 && bytes[16] == 24 && width == height && width >= 64 &&
                        (width & (width - 1)) == 0)
                << relative;
        }
    }
    EXPECT_EQ(skies, 3);
}

TEST(SkyboxTest, FolderNamesStayInsideTheirFolder) {
    for (const char* name : {"", "Late Afternoon", "v2..final", ".hidden", "Sky."})
        EXPECT_TRUE(staysInsideFolder(name)) << name;
    for (const char* name : {".", "..", "...", ".. ", " . ", "../x", "..\\x", "a/b", "a\\b",
                             "/abs", "\\abs", "C:", "C:sky", "sky:stream"})
        EXPECT_FALSE(staysInsideFolder(name)) << name;
}


TEST(SkyboxTest, TheUsersFoldersAreSearchedFirstByNameThenTheProgramsOwn) {
    ScratchFolder folder;
    const std::string plugin = folder.path() + "Plugins/vis_vzrm/";
    const std::string mine = folder.path() + "mine/Skyboxes/";
    fs::create_directories(plugin);
    fs::copy(VZRM_TEXTURE_FOLDER, plugin, fs::copy_options::recursive);
    fs::create_directories(mine);
    fs::copy(plugin + "Skyboxes/Late Afternoon", mine + "Only Mine");
    fs::remove(mine + "Only Mine/Down.tga");
    writeTextFile(mine + "A File", "");

    const std::string own = plugin + "Skyboxes/";
    EXPECT_EQ(assetFolderFor("Only Mine", {"", mine}, own), mine + "Only Mine");
    EXPECT_EQ(assetFolderFor("Late Afternoon", {mine}, own), own + "Late Afternoon");
    EXPECT_EQ(assetFolderFor("A File", {mine}, own), own + "A File");  // not a folder
    EXPECT_EQ(assetFolderFor("", {mine}, own), own);  // never the user's folder itself
    EXPECT_EQ(assetFolderFor("Only Mine", {}, own), own + "Only Mine");  // the plug-in's case
    // The folder a front end hands the scene: ready for a file name, or empty for none, and
    // never one relative to the current directory, even where that holds a sky of the name.
    const AssetFolders folders{plugin, {mine}, {}, {}}, noOwn{"", {mine}, {}, {}};
    EXPECT_EQ(folders.folderFor(AssetKind::Skybox, "Only Mine"), mine + "Only Mine/");
    EXPECT_EQ(folders.folderFor(AssetKind::Skybox, ""), own);
    for (const char* name : {"Missing", "A File", "../Skyboxes/Late Afternoon"})
        EXPECT_EQ(folders.folderFor(AssetKind::Skybox, name), "") << name;
    const fs::path current = fs::current_path();
    fs::current_path(own);
    EXPECT_EQ(noOwn.folderFor(AssetKind::Skybox, "Late Afternoon"), "");
    EXPECT_EQ(noOwn.folderFor(AssetKind::Skybox, "Only Mine"), mine + "Only Mine/");
    fs::current_path(current);

    const std::string ini = plugin + "Configurations/vis_vzrm_config.ini";
    writeTextFile(ini, "[Vizorama]\r\nbgrOnOff=1\r\nbgrName=Only Mine\r\n");
    HeadlessRenderer r(folder.path(), 160, 80);
    ASSERT_TRUE(r.ok());
    r.folders.userSkyboxes = {mine};
    r.start();
    const uint8_t silence[2][kWaveformSamples] = {};
    r.frame(silence);
    Skybox& sky = *r.scene.skybox;
    EXPECT_EQ(sky.loadedName.text(), "Only Mine");
    for (int face = 0; face < 5; ++face) EXPECT_NE(sky.faceTextures[face], 0u) << face;
    EXPECT_EQ(sky.faceTextures[5], 0u);  // its Down picture was taken away: from the user's folder
}

}  // namespace
