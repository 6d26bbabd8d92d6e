#pragma once
// The subset of ASE (ASCII Scene Export) model files the plug-in reads. A keyword scanner, not a
// parser of the block structure: blocks are found by counting line-leading "*GEOMOBJECT" and
// "*MATERIAL" keywords, and fields are filled by matching tokens against a keyword table until
// the next block keyword; everything else is skipped token by token. ASE is Z-up: points
// (X, Y, Z) are stored as (X, Z, -Y) so that Y is up.

#include <array>
#include <cstdint>
#include <string_view>
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

// A model file is read whole and parsed from memory. Where the passes over its blocks start is
// found by a walk over the lines: each step reads one token, compares it (as a C string) with
// the block keywords and drops the rest of the line (at most 254 characters a step, so the next
// step of a longer line takes its token from the middle of that line). The pass over a block
// starts on the line after its keyword line and runs token by token up to and including the
// next block keyword (line-leading or not), or to the end of the text. Carriage returns are
// white space like any other.
class AseBlocks {
public:
    AseBlocks() = default;
    explicit AseBlocks(std::string_view text);

    size_t geomObjectCount() const { return geomObjects_.size(); }
    size_t materialCount() const { return materials_.size(); }
    // Where the pass over geometry object k / material m (counted from 0) starts: the line
    // after its keyword line, or the end of the text when there is no such block.
    size_t geomObjectStart(long long k) const { return start(geomObjects_, k); }
    size_t materialStart(long long m) const { return start(materials_, m); }

private:
    size_t start(const std::vector<size_t>& starts, long long n) const {
        return n >= 0 && static_cast<unsigned long long>(n) < starts.size()
                   ? starts[static_cast<size_t>(n)]
                   : textSize_;
    }
    size_t textSize_ = 0;
    std::vector<size_t> geomObjects_;
    std::vector<size_t> materials_;
};

// What a mesh pass met, for checking files: the entries of each kind whose index could be
// read, whatever its value, and those of them ignored (index outside the list, list absent).
// Texture vertices are tallied by mapping channel: the mesh's own lists are the first channel,
// and each "*MESH_MAPPINGCHANNEL" block starts another with counts and lists of its own. The
// passes read every channel as one run of keywords, so the last channel's counts and entries
// are the ones drawn.
struct MappingChannelTally {
    long long number = 1;
    uint64_t announcedTexVertices = 0, announcedTexFaces = 0;  // the channel's own counts
    uint64_t texVertices = 0, texFaces = 0;
    uint64_t outside = 0;  // texture vertices whose index is outside the channel's own count
};

struct MeshEntryTally {
    uint64_t vertices = 0, texVertices = 0, colourVertices = 0, vertexNormals = 0;
    uint64_t faces = 0, texFaces = 0, colourFaces = 0, faceNormals = 0;
    uint64_t ignored = 0;  // entries of every kind but texture vertices (see channels)
    std::vector<MappingChannelTally> channels;
};

// What the passes over one block set in an object. The fields pass reads counts, material
// reference, normals flag, bitmap name and texture transform; each field keeps the last value
// read. The bitmap name is the text between the quotes, blanks included; a name whose closing
// quote is missing from its line is the token after the opening quote without its last
// character. The mesh pass fills the arrays; entries whose index is out of range or whose array
// is absent are ignored. A geometry object's text is read once for both passes, its mesh
// entries kept until the object's arrays are allocated (a text that the two passes would read
// differently, which no exporter writes, is read by each pass in turn).
class AseBlockPass {
public:
    // The fields of material m (none when there is no such material).
    static AseBlockPass material(std::string_view text, const AseBlocks& blocks, long long m);
    // The fields and mesh entries of geometry object k. tallied: the mesh pass reads the
    // texture counts and mapping channels too, for a tally (they change how it reads on).
    static AseBlockPass geomObject(std::string_view text, const AseBlocks& blocks, long long k,
                                   bool tallied);

    void applyFields(MeshObject& object) const;
    // Fills the object's arrays, allocated by now, from the mesh entries (a geometry object's
    // pass only; the text must still be there), counting them in tally when given.
    void applyMesh(MeshObject& object, MeshEntryTally* tally = nullptr) const;

    // The fields one pass read.
    struct Fields {
        enum : uint32_t {
            kVertexCount = 1 << 0, kFaceCount = 1 << 1, kTexVertexCount = 1 << 2,
            kTexFaceCount = 1 << 3, kColourVertexCount = 1 << 4, kColourFaceCount = 1 << 5,
            kMaterialRef = 1 << 6, kNormals = 1 << 7, kUTiling = 1 << 8, kVTiling = 1 << 9,
            kUOffset = 1 << 10, kVOffset = 1 << 11, kBitmap = 1 << 12,
        };
        uint32_t read = 0;
        uint32_t counts[7] = {};  // in the order of the flags above, the material reference last
        float transform[4] = {};  // U and V tiling, U and V offset
        // The bitmap names read, each written over the start of the one before (as the
        // object's own name is), and how far the longest reached.
        char bitmapName[256] = "";
        size_t bitmapBytes = 0;
    };
    // One entry of a mesh list: the keyword, the index, and the values after it.
    struct MeshEntry {
        uint8_t key;
        uint8_t parsed;  // how many values after the index were read
        long long index;
        union {
            float values[3];
            uint32_t corners[3];
        };
    };

private:
    std::string_view text_;
    size_t start_ = 0;
    bool tallied_ = false;
    bool entriesKept_ = false;  // else the mesh pass reads the text again when applied
    Fields fields_;
    std::vector<MeshEntry> entries_;
};

// Whether a face's index triples lie inside its object's lists: vertex positions (the vertex
// normals share those indices), texture vertices, colour vertices. Indices come from the file
// and are never trusted; the lists' actual sizes count, not the announced ones.
struct FaceIndexCheck {
    bool vertices;
    bool texVertices;
    bool colourVertices;
};
FaceIndexCheck checkFaceIndices(const MeshObject& object, const MeshFace& face);

// True when everything drawing reads for the face lies inside the object's lists: the vertices
// always, the texture vertices when drawn textured, the colour vertices when drawn with vertex
// colours. Drawing skips a face for which this is false.
bool faceInRange(const MeshObject& object, const MeshFace& face, bool textured, bool coloured);
