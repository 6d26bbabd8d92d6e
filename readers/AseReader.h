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

// Block positions are found by a walk over the lines: each step reads one token, compares it
// with the keyword and drops the rest of the line (at most 254 characters a step, so the next
// step of a longer line takes its token from the middle of that line). Files are best opened
// untranslated ("rb"): every pattern takes a carriage return for white space, and positions
// taken with ftell can be returned to on every platform (in Windows' text mode they cannot when
// lines end with a bare line feed).

// The number of line-leading "*GEOMOBJECT" keywords in the file.
int countGeomObjects(std::FILE* stream);

// Place the stream on the line after the keyword line of geometry object k / material m
// (counted from 0); at the end of the file when there is no such block. Each call walks the
// file from its start.
void seekGeomObject(std::FILE* stream, long long k);
void seekMaterial(std::FILE* stream, long long m);

// The blocks of one file, for seeking to them again and again. indexed() finds every block's
// position in one walk and seeks by jumping there; rescanning() keeps no positions and walks
// from the start for every seek. Both place the stream exactly where the walk does.
class AseBlocks {
public:
    static AseBlocks indexed(std::FILE* stream);
    static AseBlocks rescanning(std::FILE* stream);

    size_t geomObjectCount() const { return geomObjectCount_; }
    size_t materialCount() const { return materialCount_; }
    void seekGeomObject(std::FILE* stream, long long k) const;
    void seekMaterial(std::FILE* stream, long long m) const;

private:
    bool indexed_ = false;
    size_t geomObjectCount_ = 0;
    size_t materialCount_ = 0;
    std::vector<long> geomObjects_;  // where the line after each keyword line starts
    std::vector<long> materials_;
};

// Fills counts, material reference, normals flag, bitmap name and texture transform from the
// tokens that follow, up to and including the next block keyword. The bitmap name is the text
// between the quotes, blanks included; a name whose closing quote is missing from its line is
// the token after the opening quote without its last character.
void readObjectFields(std::FILE* stream, MeshObject& object);

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

// Fills the arrays from the tokens that follow, up to and including the next block keyword.
// Entries whose index is out of range or whose array is absent are ignored.
void readMeshData(std::FILE* stream, MeshObject& object, MeshEntryTally* tally = nullptr);

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
