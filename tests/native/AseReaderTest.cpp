#include <gtest/gtest.h>

#include <cmath>
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

// The fields one pass over geometry object k or material m sets, over a fresh object or the
// one given.
MeshObject objectFields(const std::string& text, long long k, MeshObject object = {}) {
    AseBlockPass::geomObject(text, AseBlocks(text), k, false).applyFields(object);
    return object;
}
MeshObject materialFields(const std::string& text, long long m, MeshObject object = {}) {
    AseBlockPass::material(text, AseBlocks(text), m).applyFields(object);
    return object;
}

TEST(AseReaderTest, FindsBlocksByTheirLineLeadingKeywords) {
    const std::string ase = kModel;
    EXPECT_EQ(AseBlocks(ase).geomObjectCount(), 2u);
    EXPECT_EQ(AseBlocks(ase).materialCount(), 2u);
    // The last object reads to the end of the text.
    EXPECT_EQ(objectFields(ase, 1).vertexCount, 8u);

    // Material 0's pass stops at material 1; the last map's bitmap wins.
    MeshObject object = materialFields(ase, 0);
    EXPECT_STREQ(object.bitmapName, "wood.tga");
    EXPECT_FLOAT_EQ(object.uTiling, 2);
    EXPECT_FLOAT_EQ(object.uOffset, 0.1f);
    // Material 1's pass runs on to the first geometry object's keyword.
    MeshObject other = materialFields(ase, 1);
    EXPECT_STREQ(other.bitmapName, "C:\\Some Folder\\second.tga");  // the whole quoted name
    EXPECT_EQ(other.vertexCount, 0u);
    // Past the last block a pass reads nothing.
    EXPECT_EQ(objectFields(ase, 5).vertexCount, 0u);
    EXPECT_EQ(AseBlocks(ase).geomObjectStart(5), ase.size());

    EXPECT_EQ(AseBlocks("").geomObjectCount(), 0u);
    EXPECT_EQ(AseBlocks("*3DSMAX_ASCIIEXPORT 200\n  x *GEOMOBJECT {\n").geomObjectCount(), 0u);
    // A keyword that the walk takes from the middle of a line longer than one step drops is a
    // block; one a blank short of that place is not. CRLF line ends change nothing.
    for (bool crlf : {false, true}) {
        AseSampleShape shape;
        shape.objects = 6;
        shape.materials = 3;
        shape.crlf = crlf;
        shape.awkward = true;
        const AseBlocks awkward(generateAseSample(shape));
        EXPECT_EQ(awkward.geomObjectCount(), 7u);
        EXPECT_EQ(awkward.materialCount(), 4u);
    }
}

TEST(AseReaderTest, FillsAnObjectTurningZUpIntoYUp) {
    const std::string ase = kModel;
    const AseBlocks blocks(ase);
    // The material's texture transform first.
    MeshObject object = objectFields(ase, 0, materialFields(ase, 0));
    EXPECT_EQ(object.vertexCount, 3u);
    EXPECT_EQ(object.faceCount, 4u);
    EXPECT_EQ(object.texVertexCount, 1u);
    EXPECT_EQ(object.texFaceCount, 4u);
    EXPECT_EQ(object.materialRef, 1u);
    EXPECT_EQ(object.hasNormals, 1);
    ASSERT_TRUE(object.allocateArrays());

    MeshEntryTally met;
    AseBlockPass::geomObject(ase, blocks, 0, true).applyMesh(object, &met);
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
        std::vector<MeshObject> objects;
        ASSERT_TRUE(readModelObjects(c.text, AseBlocks(c.text), objects));
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

// The reader's own formatted input against the C library's on awkward numbers and on decimals
// of every length (the short ones are converted without strtof): the same result, value and
// characters consumed.
TEST(AseReaderTest, ReadsNumbersAndTokensAsFscanfDoes) {
    std::vector<std::string> inputs = {
        "12", " -7.25e2x", "1e ", "1e+x", "-x", "+", "- 5", ".", "-.5", "5.", "1.2.3", "0x",
        "0x1p3", "0x.8", "0xg", "00x1", "inf", "-Infinity", "infinit", "INFx", "nan", "nan(1)",
        "in", "99999999999999999999999", "-99999999999999999999999", "12abc", "1.#INF",
        "\t\n 3:4", "", "-0.0000", "16777216", "16777217", "1677721.7", "0.0000000001",
        "0.00000000001", "3.4028235e38", "1e-46"};
    uint32_t seed = 7;
    for (int i = 0; i < 3000; ++i) {
        seed = seed * 1103515245u + 12345u;
        char number[40];
        std::snprintf(number, sizeof number, "%.*f", static_cast<int>(seed >> 28) % 12,
                      static_cast<int>(seed >> 8) / std::pow(10.0, static_cast<int>(seed % 13)));
        inputs.push_back(number);
    }
    for (const std::string& input : inputs) {
        SCOPED_TRACE(input);
        TextStream theirs(input);
        textscan::Cursor ours{input.data(), input.data() + input.size()};
        float mine = -1, library = -1;
        EXPECT_EQ(textscan::scanFloat(ours, mine), std::fscanf(theirs.file, "%f", &library) == 1);
        EXPECT_EQ(std::memcmp(&mine, &library, sizeof mine), 0);
        EXPECT_EQ(ours.at - input.data(), std::ftell(theirs.file));

        std::rewind(theirs.file);
        ours.at = input.data();
        long long a = -1, b = -1;
        bool read = textscan::scanInteger(ours, a);
        if (read) textscan::match(ours, ':');
        EXPECT_EQ(read, std::fscanf(theirs.file, "%lld:", &b) == 1);  // "%d:" of a face entry
        EXPECT_EQ(a, b);
        EXPECT_EQ(ours.at - input.data(), std::ftell(theirs.file));
    }
    std::string text = "  " + std::string(300, 'x') + " y";
    TextStream theirs(text);
    textscan::Cursor ours{text.data(), text.data() + text.size()};
    char library[256];
    for (int i = 0; i < 3; ++i) {
        const textscan::Token mine = textscan::readToken(ours);
        ASSERT_EQ(mine.length > 0, std::fscanf(theirs.file, "%255s", library) == 1);
        EXPECT_EQ(std::string(mine.text, mine.length), library);
        EXPECT_EQ(ours.at - text.data(), std::ftell(theirs.file));
    }
    EXPECT_EQ(textscan::readToken(ours).length, 0u);
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

namespace {

// FNV-1a over the bytes of everything a load fills, object by object, and what the checker's
// tallies counted.
struct Digest {
    uint64_t value = 14695981039346656037ull;
    void add(const void* data, size_t size) {
        for (size_t i = 0; i < size; ++i)
            value = (value ^ static_cast<const unsigned char*>(data)[i]) * 1099511628211ull;
    }
    template <typename T>
    void add(const std::vector<T>& list) {
        add(uint64_t{list.size()});  // the same digest where size_t has 32 bits
        if (!list.empty()) add(list.data(), list.size() * sizeof(T));
    }
    template <typename T>
    void add(const T& value) {
        add(&value, sizeof value);
    }
};

uint64_t digestOf(const std::vector<MeshObject>& objects,
                  const std::vector<MeshEntryTally>& tallies) {
    Digest d;
    d.add(uint64_t{objects.size()});
    for (const MeshObject& o : objects) {
        for (uint32_t field : {o.materialRef, o.vertexCount, o.faceCount, o.texVertexCount,
                               o.texFaceCount, o.colourVertexCount, o.colourFaceCount,
                               o.textureName, uint32_t{o.hasNormals}})
            d.add(field);
        for (float field : {o.uTiling, o.vTiling, o.uOffset, o.vOffset}) d.add(field);
        d.add(o.bitmapName, std::strlen(o.bitmapName));
        d.add(o.vertices);
        d.add(o.vertexNormals);
        d.add(o.texVertices);
        d.add(o.vertexColours);
        d.add(o.faces);
    }
    for (const MeshEntryTally& t : tallies) {
        for (uint64_t count : {t.vertices, t.texVertices, t.colourVertices, t.vertexNormals,
                               t.faces, t.texFaces, t.colourFaces, t.faceNormals, t.ignored})
            d.add(count);
        for (const MappingChannelTally& c : t.channels)
            for (uint64_t count : {static_cast<uint64_t>(c.number), c.announcedTexVertices,
                                   c.announcedTexFaces, c.texVertices, c.texFaces, c.outside})
                d.add(count);
    }
    return d.value;
}

// The objects of a model's text as a model load reads them, then with the checker's tallies.
uint64_t loadDigest(const std::string& text) {
    std::vector<MeshObject> plain, tallied;
    std::vector<MeshEntryTally> tallies;
    const AseBlocks blocks(text);
    readModelObjects(text, blocks, plain);
    readModelObjects(text, blocks, tallied, &tallies);
    Digest both;
    both.add(digestOf(plain, {}));
    both.add(digestOf(tallied, tallies));
    return both.value;
}

}  // namespace

// Every model loads field for field as the reader before the one-pass parse loaded it (a walk
// over the file's lines for the blocks, then, a character at a time through the C library's
// stream, a pass over each object's fields and another over its mesh): the digests below were
// taken with that reader, which is kept nowhere now (the digests pin what it gave without
// carrying its code along; it was also compared with this one on 25,000 damaged variants of
// these files, with no difference). A change to our generated models changes their digests:
// the message gives the new one.
TEST(AseReaderTest, ModelsLoadAsTheyAlwaysHave) {
    struct Model {
        std::string name, text;
        uint64_t digest;
    };
    std::vector<Model> models = {
        {"the reader test's model", kModel, 0x67b55224c5fa43b1ull},
        {"Quad", readTextFile(VZRM_TEST_MODELS "/Quad/Model.ase"), 0xe315abd1980a7b50ull},
    };
    for (bool crlf : {false, true})
        for (bool awkward : {false, true}) {
            AseSampleShape shape;
            shape.objects = 6;
            shape.materials = 3;
            shape.crlf = crlf;
            shape.awkward = awkward;
            // Carriage returns are white space: CRLF files load as LF ones.
            models.push_back({std::string("sample") + (crlf ? ", CRLF" : "") +
                                  (awkward ? ", awkward" : ""),
                              generateAseSample(shape),
                              awkward ? 0x35adced36d825716ull : 0x99551b5b447d6d7cull});
        }
#ifdef VZRM_TEXTURE_FOLDER
    const std::string ours = VZRM_TEXTURE_FOLDER "/Models/";
    models.push_back({"Vizorama", readTextFile(ours + "Vizorama/Model.ase"), 0xa5f1d135c6c12d98ull});
    models.push_back({"Knot", readTextFile(ours + "Knot/Model.ase"), 0x17d73c6662b5b893ull});
#endif
    for (const Model& model : models) {
        ASSERT_FALSE(model.text.empty()) << model.name;
        EXPECT_EQ(loadDigest(model.text), model.digest)
            << model.name << ": 0x" << std::hex << loadDigest(model.text);
    }
}
