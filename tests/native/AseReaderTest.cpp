#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "readers/AseReader.h"
#include "glres/ModelScene.h"
#include "readers/TextScan.h"
#include "tests/native/TestFiles.h"
#include "tools/bench/AseSample.h"

namespace {

// A temporary file holding text, opened for reading.
struct TextStream {
    std::FILE* file;
    explicit TextStream(const std::string& text) : file(std::tmpfile()) {
        std::fwrite(text.data(), 1, text.size(), file);
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
    "\t\t*BITMAP \"C:\\Some Folder\\second.tga\"\n"
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
    EXPECT_STREQ(other.bitmapName, "C:\\Some Folder\\second.tga");  // the whole quoted name
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
    MeshEntryTally met;
    readMeshData(ase.file, object, &met);
    EXPECT_EQ(met.vertices, 3u);
    EXPECT_EQ(met.faces + met.texFaces + met.faceNormals + met.vertexNormals, 4u);
    EXPECT_EQ(met.ignored, 1u);  // vertex 7
    EXPECT_FLOAT_EQ(object.vertices[2][0], 1);
    EXPECT_FLOAT_EQ(object.vertices[2][1], 3);
    EXPECT_FLOAT_EQ(object.vertices[2][2], -2);
    // A partly parsed entry keeps what it read; an index beyond the count is ignored.
    EXPECT_FLOAT_EQ(object.vertices[0][0], 4);
    EXPECT_FLOAT_EQ(object.vertices[0][1], 0);
    MeshFace& face = object.faces[3];
    EXPECT_EQ(face.a * 100 + face.b * 10 + face.c, 456u);
    EXPECT_EQ(face.ta * 100 + face.tb * 10 + face.tc, 789u);
    EXPECT_FLOAT_EQ(face.normal[1], 1);  // file Z is up
    EXPECT_FLOAT_EQ(object.texVertices[0][0], 1.1f);
    EXPECT_FLOAT_EQ(object.texVertices[0][1], 0.25f);
    EXPECT_FLOAT_EQ(object.vertexNormals[1][0], 1);

    // Face 3's corners 4, 5, 6 and texture corners 7, 8, 9 lie outside the 3 vertices and the one
    // texture vertex; face 0 (all zero) has no colour vertex to use.
    FaceIndexCheck check = checkFaceIndices(object, face);
    EXPECT_FALSE(check.vertices || check.texVertices || check.colourVertices);
    face.a = face.b = face.c = 2;
    EXPECT_TRUE(faceInRange(object, face, false, false));
    EXPECT_FALSE(faceInRange(object, face, true, false));
    EXPECT_TRUE(faceInRange(object, object.faces[0], true, false));
    EXPECT_FALSE(faceInRange(object, object.faces[0], true, true));
}

// Hostile model files load as far as they match: no read or write outside an array, no
// allocation a few bytes can make huge, and the right objects for what is there.
TEST(AseReaderTest, HostileFilesLoadAsFarAsTheyMatch) {
    const std::string quad = readTextFile(VZRM_TEST_MODELS "/Quad/Model.ase");
    std::string garbage(1 << 16, '\0');
    uint32_t seed = 1;
    for (char& c : garbage) c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 23);
    const std::string object = "*GEOMOBJECT {\n";
    const std::string huge = "*MESH_NUMVERTEX 4000000\n*MESH_NUMFACES 4000000\n*MESH_NORMALS\n";
    struct Case {
        const char* what;
        std::string text;
        size_t objects;
        size_t corners;  // of all objects' draw arrays
    };
    std::vector<Case> cases = {
        {"counts beyond 32 bits and below 0",
         object + "*MESH_NUMVERTEX -1\n*MESH_NUMFACES 4294967296\n*MESH_NUMTVERTEX "
                  "99999999999999999999\n*MESH_NUMCVERTEX\n*MESH_VERTEX 0 1 2 3\n"
                  "*MESH_FACE 0: A: 0 B: 0 C: 0\n",
         1, 0},
        {"millions announced by objects of a few bytes", object + huge + object + huge, 2, 0},
        {"indices out of range",
         object + "*MESH_NUMVERTEX 2\n*MESH_NUMFACES 2\n*MESH_NUMTVERTEX 1\n"
                  "*MESH_VERTEX -1 9 9 9\n*MESH_VERTEX 2 9 9 9\n*MESH_VERTEX 4294967296 9 9 9\n"
                  "*MESH_TVERT 5 1 1 1\n*MESH_FACE -1: A: 0 B: 1 C: 1\n"
                  "*MESH_FACE 0: A: 0 B: 1 C: 2\n*MESH_FACE 1: A: 0 B: 1 C: 4294967297\n"
                  "*MESH_TFACE 1 0 0 -1\n*MESH_FACENORMAL 7 1 1 1\n*MATERIAL_REF 99\n",
         1, 0},  // face 1's last corner wraps to 1, but its texture corner lies outside
        {"a line of 10,000 characters and a name as long",
         std::string(10000, 'x') + "\n" + object + "*MATERIAL_REF 0\n*BITMAP \"" +
             std::string(10000, 'n') + "\"\n*MESH_NUMVERTEX 1\n*MESH_NUMFACES 1\n",
         1, 3},
        {"a NUL byte opening a name without its closing quote",
         object + "*BITMAP \"" + std::string(1, '\0') + "x\n*MESH_NUMVERTEX 1\n*MESH_NUMFACES 1\n",
         1, 3},
        {"binary garbage", garbage, 0, 0},
        {"garbage within an object", object + garbage, 1, 0},
    };
    // The real model cut at every line and in the middle of every line: 0, 1 or 2 objects.
    for (size_t end = quad.find('\n'); end != std::string::npos; end = quad.find('\n', end + 1)) {
        const size_t start = quad.rfind('\n', end - 1);
        cases.push_back({"cut", quad.substr(0, end + 1), SIZE_MAX, SIZE_MAX});
        cases.push_back({"cut", quad.substr(0, (start + end) / 2), SIZE_MAX, SIZE_MAX});
    }
    cases.push_back({"whole", quad, 2, 9});

    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.what) + ", " + std::to_string(c.text.size()) + " bytes");
        TextStream ase(c.text);
        std::vector<MeshObject> objects;
        ASSERT_TRUE(readModelObjects(ase.file, AseBlocks::indexed(ase.file), objects));
        size_t corners = 0;
        for (const MeshObject& o : objects) {
            EXPECT_LT(std::strlen(o.bitmapName), sizeof o.bitmapName);
            ObjectArrays arrays;
            ASSERT_TRUE(buildObjectArrays(o, arrays));
            corners += arrays.corners();
        }
        if (c.objects != SIZE_MAX) {
            EXPECT_EQ(objects.size(), c.objects);
            EXPECT_EQ(corners, c.corners);
        }
        EXPECT_LE(objects.size(), 2u);
    }
}

// The reader's own formatted input against the C library's on awkward numbers: the same
// result, value and characters consumed.
TEST(AseReaderTest, ReadsNumbersAndTokensAsFscanfDoes) {
    const char* inputs[] = {"12", " -7.25e2x", "1e ", "1e+x", "-x", "+", "- 5", ".", "-.5", "5.",
                            "1.2.3", "0x", "0x1p3", "0x.8", "0xg", "00x1", "inf", "-Infinity",
                            "infinit", "INFx", "nan", "nan(1)", "in", "99999999999999999999999",
                            "-99999999999999999999999", "12abc", "1.#INF", "\t\n 3:4", ""};
    for (const char* input : inputs) {
        SCOPED_TRACE(input);
        TextStream ours(input), theirs(input);
        float mine = -1, library = -1;
        EXPECT_EQ(textscan::scanFloat(ours.file, mine), std::fscanf(theirs.file, "%f", &library) == 1);
        EXPECT_EQ(std::memcmp(&mine, &library, sizeof mine), 0);
        EXPECT_EQ(std::ftell(ours.file), std::ftell(theirs.file));

        std::rewind(ours.file);
        std::rewind(theirs.file);
        long long a = -1, b = -1;
        bool read = textscan::scanInteger(ours.file, a);
        if (read) textscan::match(ours.file, ':');
        EXPECT_EQ(read, std::fscanf(theirs.file, "%lld:", &b) == 1);  // "%d:" of a face entry
        EXPECT_EQ(a, b);
        EXPECT_EQ(std::ftell(ours.file), std::ftell(theirs.file));
    }
    std::string text = "  " + std::string(300, 'x') + " y";
    TextStream ours(text), theirs(text);
    char mine[256], library[256];
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(textscan::readToken(ours.file, mine) > 0, std::fscanf(theirs.file, "%255s", library) == 1);
        EXPECT_STREQ(mine, library);
        EXPECT_EQ(std::ftell(ours.file), std::ftell(theirs.file));
    }
    EXPECT_EQ(textscan::readToken(ours.file, mine), 0u);
}

// Seeking to positions found in one walk gives the objects that rescanning for every block
// gives, bit for bit: on plain files, with CRLF line ends, and with block keywords that are not
// line-leading or that the walk takes from the middle of a line longer than one step drops.
TEST(AseReaderTest, BlockPositionsFromOneWalkGiveTheObjectsOfRescans) {
    auto sameBytes = [](const auto& a, const auto& b) {
        return a.size() == b.size() &&
               (a.empty() || !std::memcmp(a.data(), b.data(), a.size() * sizeof a[0]));
    };
    for (bool crlf : {false, true})
        for (bool awkward : {false, true}) {
            SCOPED_TRACE(std::string(crlf ? "CRLF" : "LF") + (awkward ? ", awkward" : ""));
            AseSampleShape shape;
            shape.objects = 6;
            shape.materials = 3;
            shape.crlf = crlf;
            shape.awkward = awkward;
            TextStream ase(generateAseSample(shape));
            const AseBlocks indexed = AseBlocks::indexed(ase.file);
            const AseBlocks rescanning = AseBlocks::rescanning(ase.file);
            // The awkward file's object 1 and material 1 each hold one more block, found mid-line.
            EXPECT_EQ(indexed.geomObjectCount(), awkward ? 7u : 6u);
            EXPECT_EQ(indexed.materialCount(), awkward ? 4u : 3u);
            EXPECT_EQ(rescanning.geomObjectCount(), indexed.geomObjectCount());
            EXPECT_EQ(rescanning.materialCount(), indexed.materialCount());

            std::vector<MeshObject> fast, slow;
            ASSERT_TRUE(readModelObjects(ase.file, indexed, fast));
            ASSERT_TRUE(readModelObjects(ase.file, rescanning, slow));
            ASSERT_EQ(fast.size(), slow.size());
            for (size_t i = 0; i < fast.size(); ++i) {
                const MeshObject &x = fast[i], &y = slow[i];
                EXPECT_TRUE(sameBytes(x.vertices, y.vertices) && sameBytes(x.faces, y.faces) &&
                            sameBytes(x.vertexNormals, y.vertexNormals) &&
                            sameBytes(x.texVertices, y.texVertices) &&
                            sameBytes(x.vertexColours, y.vertexColours))
                    << "object " << i;
                EXPECT_EQ(std::memcmp(&x.materialRef, &y.materialRef,
                                      offsetof(MeshObject, vertices) -
                                          offsetof(MeshObject, materialRef)),
                          0);
                EXPECT_STREQ(x.bitmapName, y.bitmapName);
                EXPECT_EQ(x.uTiling, y.uTiling);
                EXPECT_EQ(x.uOffset, y.uOffset);
            }
            // Past the last block both leave the stream at its end.
            indexed.seekMaterial(ase.file, 99);
            EXPECT_EQ(std::fgetc(ase.file), EOF);
        }
}

}  // namespace

// The bound on a model's arrays holds in the player's 32-bit process too: the bytes of counts up
// to 2^32 - 1 are counted in 64 bits, never wrapped by a 32-bit size_t.
TEST(AseReaderTest, ArrayBytesOfCountsNear32BitsAreCountedWhole) {
    MeshObject textured;
    textured.texVertexCount = 0x40000001u;  // times 8 bytes is 2^33 + 8: 8 in 32 bits
    EXPECT_EQ(modelArrayBytes(textured), uint64_t{0x40000001u} * 8);
    MeshObject coloured;
    coloured.colourVertexCount = 0xffffffffu;
    EXPECT_EQ(modelArrayBytes(coloured), uint64_t{0xffffffffu} * 12);
    MeshObject full;
    full.vertexCount = full.faceCount = full.texVertexCount = full.colourVertexCount = 0xffffffffu;
    full.hasNormals = 1;
    const uint64_t perCorner = 4 * (3 + 2 + 3 + 3);
    EXPECT_EQ(modelArrayBytes(full),
              uint64_t{0xffffffffu} * (24 + 8 + 12 + sizeof(MeshFace) + 3 * perCorner));
    EXPECT_GT(modelArrayBytes(full), uint64_t{0xffffffffu} * 200);
}
