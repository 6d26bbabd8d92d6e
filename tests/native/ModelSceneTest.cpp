#include <gtest/gtest.h>

#include <stb_image_write.h>

#include <cstring>
#include <filesystem>

#include "glres/ModelScene.h"
#include "glres/TextureLoader.h"
#include "platform/headless/OffscreenContext.h"
#include "tests/native/TestFiles.h"

namespace {

std::string material(int index, const std::string& inside) {
    return "\t*MATERIAL " + std::to_string(index) + " {\n" + inside + "\t}\n";
}
std::string bitmap(const std::string& name, const std::string& transform = "") {
    return "\t\t*MAP_DIFFUSE {\n\t\t\t*BITMAP \"" + name + "\"\n" + transform + "\t\t}\n";
}
const char* kIdentity = "\t\t\t*UVW_U_TILING 1.0000\n\t\t\t*UVW_V_TILING 1.0000\n"
                        "\t\t\t*UVW_U_OFFSET 0.0000\n\t\t\t*UVW_V_OFFSET 0.0000\n";
std::string object(const std::string& materialRef) {
    return "*GEOMOBJECT {\n\t*MESH {\n\t\t*MESH_NUMVERTEX 1\n\t\t*MESH_NUMFACES 1\n"
           "\t\t*MESH_VERTEX 0\t1.0\t2.0\t3.0\n\t\t*MESH_TFACE 0\t1\t2\t3\n\t}\n" +
           materialRef + "}\n";
}

class ModelFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok());
        glGenTextures(1, &dynamic);
        previous = std::filesystem::current_path();
        std::filesystem::current_path(folder.path());
        std::filesystem::copy(std::string(VZRM_TEXTURE_FOLDER) + "/Checked.tga", "wood.tga");
        std::filesystem::create_directory("art");
        const unsigned char pixels[4 * 3] = {};
        ASSERT_TRUE(stbi_write_png("art/stone.png", 2, 2, 3, pixels, 6));
    }
    void TearDown() override { std::filesystem::current_path(previous); }
    bool load(const std::string& ase) {
        writeTextFile(folder.path() + "Model.ase", ase);
        return loadModelFile("Model.ase", "Vizorama.tga", scene, loader, dynamic, usesDynamic);
    }
    static GLint wrapOf(GLuint texture) {
        GLint wrap = 0;
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
        glBindTexture(GL_TEXTURE_2D, 0);
        return wrap;
    }

    OffscreenContext gl{8, 8};
    ScratchFolder folder;
    std::filesystem::path previous;
    ModelScene scene;
    TextureLoader loader;
    GLuint dynamic = 0;
    bool usesDynamic = false;
};

TEST_F(ModelFixture, EachObjectTakesItsMaterialsBitmapAndWrap) {
    // Three objects on material 0; a missing reference means material 0 as well. The bitmap's
    // folder on the artist's machine does not exist here: the file beside the model is taken.
    const char* artistsPath = "C:\\Some Folder\\wood.tga";
    ASSERT_TRUE(load("*MATERIAL_LIST {\n" + material(0, bitmap(artistsPath, kIdentity)) + "}\n" +
                     object("\t*MATERIAL_REF 0\n") + object("\t*MATERIAL_REF 0\n") + object("")));
    ASSERT_EQ(scene.objectCount, 3u);
    for (const MeshObject& o : scene.objects) {
        EXPECT_STREQ(o.bitmapName, artistsPath);
        EXPECT_NE(o.textureName, 0u);
        EXPECT_EQ(wrapOf(o.textureName), GL_CLAMP);
        EXPECT_FLOAT_EQ(o.vertices[0][1], 3);  // Y up
        EXPECT_EQ(o.faces[0].tc, 3u);          // kept without texture vertices
        EXPECT_TRUE(o.texVertices.empty());
    }
    EXPECT_FALSE(usesDynamic);
    // One picture, read and uploaded once for the three objects that show it.
    EXPECT_EQ(loader.registeredTextures().size(), 1u);
    EXPECT_EQ(scene.objects[0].textureName, scene.objects[2].textureName);

    // Object 1 refers to material 0, which has no bitmap: material 1's, at its own position,
    // stays; a relative path that opens is taken as named, a PNG as well as a TGA. Tiling 2 or
    // no tiling at all means repeat.
    GLuint firstModel = scene.objects[0].textureName;
    ASSERT_TRUE(load("*MATERIAL_LIST {\n" + material(0, "") +
                     material(1, bitmap("art\\stone.png", "\t\t\t*UVW_U_TILING 2.0\n")) + "}\n" +
                     object("\t*MATERIAL_REF 0\n") + object("\t*MATERIAL_REF 0\n")));
    EXPECT_STREQ(scene.objects[0].bitmapName, "");
    EXPECT_EQ(scene.objects[0].textureName, 0u);
    EXPECT_STREQ(scene.objects[1].bitmapName, "art\\stone.png");
    EXPECT_EQ(wrapOf(scene.objects[1].textureName), GL_REPEAT);
    // The first model's textures are gone from OpenGL and from the loader.
    EXPECT_FALSE(glIsTexture(firstModel));
    EXPECT_EQ(loader.registeredTextures().size(), 1u);
}

TEST_F(ModelFixture, TheDynamicTextureNameSelectsTheCapturedPicture) {
    ASSERT_TRUE(load("*MATERIAL_LIST {\n" + material(0, bitmap("Vizorama.tga", kIdentity)) +
                     material(1, bitmap("Vizorama.tga", "\t\t\t*UVW_U_TILING 2.0\n")) +
                     material(2, bitmap("vizorama.tga")) + "}\n" + object("\t*MATERIAL_REF 0\n") +
                     object("\t*MATERIAL_REF 1\n") + object("\t*MATERIAL_REF 2\n")));
    EXPECT_TRUE(usesDynamic);
    EXPECT_EQ(scene.objects[0].textureName, dynamic);
    EXPECT_EQ(scene.objects[1].textureName, dynamic);
    EXPECT_EQ(wrapOf(dynamic), GL_REPEAT);  // the last object's wrap applies to the one texture
    EXPECT_EQ(scene.objects[2].textureName, 0u);  // another case is an ordinary (missing) file
    MeshObject inFolder;
    std::strcpy(inFolder.bitmapName, "C:\\Art\\Vizorama.tga");  // a file, not the picture
    EXPECT_EQ(chooseModelTexture(inFolder, "Vizorama.tga").kind, TextureChoice::File);

    // A file without objects, or none at all, fails and keeps the model; the dynamic texture
    // survives a reload.
    EXPECT_FALSE(load("*MATERIAL_LIST {\n}\n"));
    EXPECT_EQ(scene.objectCount, 3u);
    EXPECT_FALSE(loadModelFile("Absent.ase", "Vizorama.tga", scene, loader, dynamic, usesDynamic));
    EXPECT_EQ(scene.objectCount, 3u);
    ASSERT_TRUE(load(object("\t*MATERIAL_REF 4000000000\n")));  // a reference past the list
    EXPECT_EQ(scene.objectCount, 1u);
    EXPECT_TRUE(glIsTexture(dynamic));
    EXPECT_FALSE(usesDynamic);
}

}  // namespace
