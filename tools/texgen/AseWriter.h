#pragma once
// Models as ASE (ASCII Scene Export) text, laid out the way 3D exporters write it: a header,
// the scene, the material list with one diffuse bitmap per material, then one geometry object
// per mesh with its node transform, vertices, faces, texture vertices and texture faces, and a
// face normal with three vertex normals per face. ASE is Z-up: the meshes are given Y-up, as
// the plug-in holds them, and written with (x, y, z) as (x, -z, y).

#include <array>
#include <string>
#include <vector>

#include "tools/texgen/Image.h"
#include "tools/texgen/Vec3.h"

struct AseMaterial {
    std::string name;
    Colour diffuse{0.8f, 0.8f, 0.8f};
    std::string bitmap;  // the diffuse map's file name, beside the model file; empty for none
    float uTiling = 1, vTiling = 1, uOffset = 0, vOffset = 0;
};

// One triangle: its corners counter-clockwise seen from outside.
struct AseFace {
    int a = 0, b = 0, c = 0;     // vertex indices
    int ta = 0, tb = 0, tc = 0;  // texture-vertex indices
    int smoothing = 0;           // smoothing group: 0 is faceted, otherwise faces of the same
                                 // group share averaged vertex normals
    bool edgeAB = true, edgeBC = true, edgeCA = true;  // false on the diagonal of a quad
};

struct AseObject {
    std::string name;
    int materialRef = 0;
    std::vector<Vec3> vertices;  // Y up
    std::vector<std::array<float, 2>> texVertices;
    std::vector<AseFace> faces;
};

struct AseModel {
    std::string sourceName;  // the scene's file name in the modelling tool
    std::vector<AseMaterial> materials;
    std::vector<AseObject> objects;
};

// The unit normal of a face from its winding (counter-clockwise faces point at the viewer).
Vec3 faceNormal(const AseObject& object, const AseFace& face);

// The whole file as text: tab-indented lines ending in CR LF, numbers with four decimals.
std::string writeAse(const AseModel& model);
