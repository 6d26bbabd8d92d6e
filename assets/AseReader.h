#pragma once
// The subset of ASE (ASCII Scene Export) model files the plug-in reads. A keyword scanner, not a
// parser of the block structure: blocks are found by counting line-leading "*GEOMOBJECT" and
// "*MATERIAL" keywords, and fields are filled by matching tokens against a keyword table until
// the next block keyword; everything else is skipped token by token. ASE is Z-up: points
// (X, Y, Z) are stored as (X, Z, -Y) so that Y is up.

#include <array>
#include <cstdint>
#include <cstdio>
#include <vector>

struct MeshFace {
    uint32_t a = 0, b = 0, c = 0;     // vertex indices
    uint32_t ta = 0, tb = 0, tc = 0;  // texture-vertex indices
    uint32_t ca = 0, cb = 0, cc = 0;  // colour-vertex indices
    float normal[3] = {0, 0, 0};
};

struct MeshObject {
    uint32_t materialRef = 0;
    uint32_t vertexCount = 0;
    uint32_t faceCount = 0;
    uint32_t texVertexCount = 0;
    uint32_t texFaceCount = 0;
    uint32_t colourVertexCount = 0;
    uint32_t colourFaceCount = 0;
    uint8_t hasNormals = 0;
    std::vector<std::array<float, 3>> vertices;
    std::vector<std::array<float, 3>> vertexNormals;  // only when hasNormals
    std::vector<std::array<float, 2>> texVertices;    // only when texVertexCount is not 0
    std::vector<std::array<float, 3>> vertexColours;  // only when colourVertexCount is not 0
    std::vector<MeshFace> faces;
    char bitmapName[256] = "";
    uint32_t textureName = 0;
    float uTiling = 0, vTiling = 0, uOffset = 0, vOffset = 0;

    // Sizes the arrays by the counts read so far (zero-filled). False when a count is beyond
    // what a model may hold or the memory cannot be had; the arrays are then empty.
    bool allocateArrays();
};

// The number of line-leading "*GEOMOBJECT" keywords in the file.
int countGeomObjects(std::FILE* stream);

// Place the stream on the line after the keyword line of geometry object k / material m
// (counted from 0); at the end of the file when there is no such block.
void seekGeomObject(std::FILE* stream, long long k);
void seekMaterial(std::FILE* stream, long long m);

// Fills counts, material reference, normals flag, bitmap name and texture transform from the
// tokens that follow, up to and including the next block keyword.
void readObjectFields(std::FILE* stream, MeshObject& object);

// Fills the arrays from the tokens that follow, up to and including the next block keyword.
// Entries whose index is out of range or whose array is absent are ignored.
void readMeshData(std::FILE* stream, MeshObject& object);
