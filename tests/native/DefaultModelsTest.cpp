#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <utility>

#include "glres/ModelScene.h"
#include "glres/TextureLoader.h"
#include "platform/headless/OffscreenContext.h"
#include "tests/native/TestFiles.h"
#include "tools/texgen/ModelArt.h"

namespace {

const std::string kModels = std::string(VZRM_TEXTURE_FOLDER) + "/Models/";

using Point = std::array<float, 3>;
Point minus(const Point& a, const Point& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }
Point cross(const Point& a, const Point& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
float dot(const Point& a, const Point& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// Width, height and bits per pixel of an uncompressed true-colour TGA file; zeros otherwise.
std::array<int, 3> tgaShape(const std::string& path) {
    std::string bytes = readTextFile(path);
    if (bytes.size() < 18 || bytes[2] != 2) return {0, 0, 0};
    auto byte = [&](int i) { return static_cast<int>(static_cast<uint8_t>(bytes[i])); };
    return {byte(12) | byte(13) << 8, byte(14) | byte(15) << 8, byte(16)};
}

// Checks one object as the plug-in holds it (Y up): every index inside its lists, a closed
// surface in which each edge is walked once each way (consistent winding), the winding
// counter-clockwise seen from outside (positive enclosed volume, so back-face culling keeps the
// outside) and the stored face normals agreeing with the winding.
void expectClosedOutwardSolid(const MeshObject& o) {
    ASSERT_GT(o.faceCount, 0u);
    ASSERT_TRUE(o.hasNormals);
    ASSERT_GT(o.texVertexCount, 0u);
    std::map<std::pair<uint32_t, uint32_t>, int> edges;
    double volume = 0;
    int outOfRange = 0, wrongNormals = 0;
    for (const MeshFace& f : o.faces) {
        const uint32_t corners[3] = {f.a, f.b, f.c};
        if (f.a >= o.vertexCount || f.b >= o.vertexCount || f.c >= o.vertexCount ||
            f.ta >= o.texVertexCount || f.tb >= o.texVertexCount || f.tc >= o.texVertexCount) {
            ++outOfRange;
            continue;
        }
        for (int k = 0; k < 3; ++k) ++edges[{corners[k], corners[(k + 1) % 3]}];
        const Point &a = o.vertices[f.a], &b = o.vertices[f.b], &c = o.vertices[f.c];
        Point n = cross(minus(b, a), minus(c, a));
        volume += dot(a, cross(b, c)) / 6;
        float length = std::sqrt(dot(n, n));
        Point stored = {f.normal[0], f.normal[1], f.normal[2]};
        if (length == 0 || dot(n, stored) / length < 0.999f) ++wrongNormals;
    }
    EXPECT_EQ(outOfRange, 0);
    EXPECT_EQ(wrongNormals, 0);
    int unpaired = 0;
    for (const auto& [edge, count] : edges) {
        auto reverse = edges.find({edge.second, edge.first});
        unpaired += count != 1 || reverse == edges.end() || reverse->second != 1;
    }
    EXPECT_EQ(unpaired, 0) << "open or inconsistently wound";
    EXPECT_GT(volume, 1.0) << "wound inside out";
}

}  // namespace

TEST(DefaultModels, LoadAsClosedOutwardSolidsWithTheirPicturesBeside) {
    OffscreenContext gl(8, 8);
    ASSERT_TRUE(gl.ok());
    GLuint dynamic = 0;
    glGenTextures(1, &dynamic);
    const std::filesystem::path previous = std::filesystem::current_path();

    const std::pair<std::string, std::vector<std::string>> models[] = {
        {"Vizorama", {kLivePictureName, "Plating.tga", "Plating.tga", "Brass.tga"}},
        {"Knot", {"Scales.tga"}},
        {"Ringed Planet", {"Bands.tga", "Rings.tga", "Moon.tga"}}};
    for (const auto& [name, bitmaps] : models) {
        SCOPED_TRACE(name);
        std::filesystem::current_path(kModels + name);
        ModelScene scene;
        TextureLoader loader;
        bool live = false;
        ASSERT_TRUE(loadModelFile("Model.ase", kLivePictureName, scene, loader, dynamic, live));
        EXPECT_EQ(live, name == "Vizorama");
        ASSERT_EQ(scene.objectCount, bitmaps.size());
        uint32_t triangles = 0;
        for (uint32_t i = 0; i < scene.objectCount; ++i) {
            SCOPED_TRACE(i);
            const MeshObject& o = scene.objects[i];
            triangles += o.faceCount;
            EXPECT_EQ(o.bitmapName, bitmaps[i]);
            // The picture is beside the model (the live one too, as a stand-in for modelling
            // tools): 24-bit, sides powers of two.
            auto [width, height, depth] = tgaShape(o.bitmapName);
            EXPECT_EQ(depth, 24);
            EXPECT_TRUE(width > 0 && (width & (width - 1)) == 0 && height > 0 &&
                        (height & (height - 1)) == 0)
                << width << " x " << height;
            if (bitmaps[i] == kLivePictureName) {
                EXPECT_EQ(o.textureName, dynamic);
                EXPECT_EQ(std::make_pair(width, height), std::make_pair(256, 128));
            } else {
                EXPECT_NE(o.textureName, 0u);
            }
            expectClosedOutwardSolid(o);
        }
        EXPECT_LT(triangles, 5000u);
        scene.release(loader);
    }
    std::filesystem::current_path(previous);
}

TEST(DefaultModels, TheGeneratorWritesTheSameFilesOnEveryRun) {
    ScratchFolder folder;
    std::string error;
    ASSERT_TRUE(writeDefaultModels(folder.path(), error)) << error;
    int files = 0;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(folder.path() + "Models")) {
        if (!entry.is_regular_file()) continue;
        ++files;
        std::string relative = std::filesystem::relative(entry.path(), folder.path() + "Models");
        EXPECT_TRUE(readTextFile(entry.path()) == readTextFile(kModels + relative)) << relative;
    }
    EXPECT_EQ(files, 10);  // three Model.ase, seven pictures
}
