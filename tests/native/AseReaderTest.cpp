#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "assets/AseReader.h"

namespace {

// A temporary file holding text, opened for reading.
struct TextStream {
    std::FILE* file;
    explicit TextStream(const std::string& text) : file(std::tmpfile()) {
        std::fputs(text.c_str(), file);
        std::rewind(file);
    }
    ~TextStream() { std::fclose(file); }
};

const char* kModel =
    "*3DSMAX_ASCIIEXPORT\t200\n"
    "*MATERIAL_LIST {\n"
    "\t*MATERIAL_COUNT 2\n"
    "\t*MATERIAL 0 {\n"
    "\t\t*MAP_DIFFUSE {\n"
    "\t\t\t*BITMAP \"first.tga\"\n"
    "\t\t\t*UVW_U_TILING 2.0000\n"
    "\t\t\t*UVW_V_TILING 1.0000\n"
    "\t\t\t*UVW_U_OFFSET 0.1000\n"
    "\t\t\t*UVW_V_OFFSET 0.0000\n"
    "\t\t}\n"
    "\t\t*MAP_BUMP {\n"
    "\t\t\t*BITMAP \"wood.tga\"\n"
    "\t\t}\n"
    "\t}\n"
    "\t*MATERIAL 1 {\n"
    "\t\t*BITMAP \"second.tga\"\n"
    "\t}\n"
    "}\n"
    "*GEOMOBJECT {\n"
    "\t*NODE_NAME \"Box\"\n"
    "\t*MESH {\n"
    "\t\t*MESH_NUMVERTEX 3\n"
    "\t\t*MESH_NUMFACES 4\n"
    "\t\t*MESH_VERTEX_LIST {\n"
    "\t\t\t*MESH_VERTEX    2\t1.0000\t2.0000\t3.0000\n"
    "\t\t\t*MESH_VERTEX    7\t9.0\t9.0\t9.0\n"
    "\t\t\t*MESH_VERTEX    0\t4.0\tbad\n"
    "\t\t}\n"
    "\t\t*MESH_FACE_LIST {\n"
    "\t\t\t*MESH_FACE    3:    A:    4 B:    5 C:    6 AB:    1 BC:    1 CA:    0\t"
    "*MESH_SMOOTHING 1 \t*MESH_MTLID 0\n"
    "\t\t}\n"
    "\t\t*MESH_NUMTVERTEX 1\n"
    "\t\t*MESH_TVERTLIST {\n"
    "\t\t\t*MESH_TVERT 0\t0.5000\t0.2500\t0.0000\n"
    "\t\t}\n"
    "\t\t*MESH_NUMTVFACES 4\n"
    "\t\t*MESH_TFACELIST {\n"
    "\t\t\t*MESH_TFACE 3\t7\t8\t9\n"
    "\t\t}\n"
    "\t\t*MESH_NORMALS {\n"
    "\t\t\t*MESH_FACENORMAL 3\t0.0\t0.0\t1.0\n"
    "\t\t\t\t*MESH_VERTEXNORMAL 1\t1.0\t0.0\t0.0\n"
    "\t\t}\n"
    "\t}\n"
    "\t*MATERIAL_REF 1\n"
    "}\n"
    "*GEOMOBJECT {\n"
    "\t*MESH {\n"
    "\t\t*MESH_NUMVERTEX 8\n"
    "\t}\n"
    "}\n";

TEST(AseReaderTest, FindsBlocksByTheirLineLeadingKeywords) {
    TextStream ase(kModel);
    EXPECT_EQ(countGeomObjects(ase.file), 2);

    MeshObject second;
    seekGeomObject(ase.file, 1);
    readObjectFields(ase.file, second);  // the last object reads to the end of the file
    EXPECT_EQ(second.vertexCount, 8u);

    // Material 0's pass stops at material 1; the last map's bitmap wins.
    MeshObject object;
    seekMaterial(ase.file, 0);
    readObjectFields(ase.file, object);
    EXPECT_STREQ(object.bitmapName, "wood.tga");
    EXPECT_FLOAT_EQ(object.uTiling, 2);
    EXPECT_FLOAT_EQ(object.uOffset, 0.1f);
    // Material 1's pass runs on to the first geometry object's keyword.
    MeshObject other;
    seekMaterial(ase.file, 1);
    readObjectFields(ase.file, other);
    EXPECT_STREQ(other.bitmapName, "second.tga");
    EXPECT_EQ(other.vertexCount, 0u);

    // Past the last block: the stream is at its end and a pass reads nothing.
    MeshObject none;
    seekGeomObject(ase.file, 5);
    readObjectFields(ase.file, none);
    EXPECT_EQ(none.vertexCount, 0u);

    TextStream empty("");
    EXPECT_EQ(countGeomObjects(empty.file), 0);
    TextStream noBlocks("*3DSMAX_ASCIIEXPORT 200\n  x *GEOMOBJECT {\n");
    EXPECT_EQ(countGeomObjects(noBlocks.file), 0);
}

TEST(AseReaderTest, FillsAnObjectTurningZUpIntoYUp) {
    TextStream ase(kModel);
    MeshObject object;
    seekMaterial(ase.file, 0);
    readObjectFields(ase.file, object);  // the material's texture transform first
    seekGeomObject(ase.file, 0);
    readObjectFields(ase.file, object);
    EXPECT_EQ(object.vertexCount, 3u);
    EXPECT_EQ(object.faceCount, 4u);
    EXPECT_EQ(object.texVertexCount, 1u);
    EXPECT_EQ(object.texFaceCount, 4u);
    EXPECT_EQ(object.materialRef, 1u);
    EXPECT_EQ(object.hasNormals, 1);
    ASSERT_TRUE(object.allocateArrays());

    seekGeomObject(ase.file, 0);
    readMeshData(ase.file, object);
    EXPECT_FLOAT_EQ(object.vertices[2][0], 1);
    EXPECT_FLOAT_EQ(object.vertices[2][1], 3);
    EXPECT_FLOAT_EQ(object.vertices[2][2], -2);
    // A partly parsed entry keeps what it read; an index beyond the count is ignored.
    EXPECT_FLOAT_EQ(object.vertices[0][0], 4);
    EXPECT_FLOAT_EQ(object.vertices[0][1], 0);
    const MeshFace& face = object.faces[3];
    EXPECT_EQ(face.a * 100 + face.b * 10 + face.c, 456u);
    EXPECT_EQ(face.ta * 100 + face.tb * 10 + face.tc, 789u);
    EXPECT_FLOAT_EQ(face.normal[1], 1);  // file Z is up
    EXPECT_FLOAT_EQ(object.texVertices[0][0], 1.1f);
    EXPECT_FLOAT_EQ(object.texVertices[0][1], 0.25f);
    EXPECT_FLOAT_EQ(object.vertexNormals[1][0], 1);
}

TEST(AseReaderTest, OddInputNeitherOverrunsNorAllocatesWithoutLimit) {
    std::string longToken(1000, 'x');
    TextStream ase("*GEOMOBJECT {\n*BITMAP \"" + longToken + "\"\n*MESH_NUMVERTEX -1\n"
                   "*MESH_NUMFACES\n*MESH_VERTEX 0 1 2 3\n*MESH_TVERT 0 1 1\n");
    MeshObject object;
    seekGeomObject(ase.file, 0);
    readObjectFields(ase.file, object);
    EXPECT_LT(std::strlen(object.bitmapName), 256u);
    EXPECT_EQ(object.faceCount, 0u);
    EXPECT_FALSE(object.allocateArrays());  // 4294967295 vertices
    EXPECT_TRUE(object.vertices.empty());
    seekGeomObject(ase.file, 0);
    readMeshData(ase.file, object);  // no arrays: every entry is ignored
}

}  // namespace
