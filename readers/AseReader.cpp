#include "readers/AseReader.h"

#include <cctype>
#include <cstring>
#include <new>

#include "readers/TextScan.h"

using textscan::readToken;

namespace {

constexpr uint32_t kMaxElements = 1u << 22;  // far beyond any model shown in a plug-in

bool atEnd(std::FILE* f) {
    int c = std::fgetc(f);
    if (c == EOF) return true;
    std::ungetc(c, f);
    return false;
}

// Drops the rest of the current line, at most 254 characters at a time.
void discardLine(std::FILE* f) {
    char rest[255];
    if (!std::fgets(rest, sizeof rest, f)) return;
}

// One step of the line walk: the step's token, then the rest of its line dropped. False at
// the end of the file.
bool walkStep(std::FILE* f, char (&token)[256]) {
    if (atEnd(f) || readToken(f, token) == 0) return false;
    discardLine(f);
    return true;
}

// Walks line-leading keywords; returns the number of matches, stopping after the line of the
// stopAt-th match when stopAt is positive.
int walkLines(std::FILE* f, const char* keyword, long long stopAt) {
    std::rewind(f);
    int matches = 0;
    char token[256];
    while (walkStep(f, token))
        if (std::strcmp(token, keyword) == 0 && ++matches == stopAt) break;
    return matches;
}

// Every keyword the passes act on. Tokens are compared whole and case-sensitively.
enum class Key {
    Other, GeomObject, Material,
    NumVertex, NumFaces, NumTVertex, NumTVFaces, NumCVertex, NumCVFaces, MaterialRef, Normals,
    UTiling, VTiling, UOffset, VOffset, Bitmap,
    Vertex, VertexNormal, FaceNormal, TVert, VertCol, Face, TFace, CFace, MappingChannel,
};

struct KeyText {
    const char* text;
    size_t length;
    Key key;
};

#define VZRM_KEY(text, key) {text, sizeof text - 1, Key::key}
const KeyText kKeys[] = {
    VZRM_KEY("*GEOMOBJECT", GeomObject),      VZRM_KEY("*MATERIAL", Material),
    VZRM_KEY("*MESH_NUMVERTEX", NumVertex),   VZRM_KEY("*MESH_NUMFACES", NumFaces),
    VZRM_KEY("*MESH_NUMTVERTEX", NumTVertex), VZRM_KEY("*MESH_NUMTVFACES", NumTVFaces),
    VZRM_KEY("*MESH_NUMCVERTEX", NumCVertex), VZRM_KEY("*MESH_NUMCVFACES", NumCVFaces),
    VZRM_KEY("*MATERIAL_REF", MaterialRef),   VZRM_KEY("*MESH_NORMALS", Normals),
    VZRM_KEY("*UVW_U_TILING", UTiling),       VZRM_KEY("*UVW_V_TILING", VTiling),
    VZRM_KEY("*UVW_U_OFFSET", UOffset),       VZRM_KEY("*UVW_V_OFFSET", VOffset),
    VZRM_KEY("*BITMAP", Bitmap),              VZRM_KEY("*MESH_VERTEX", Vertex),
    VZRM_KEY("*MESH_VERTEXNORMAL", VertexNormal), VZRM_KEY("*MESH_FACENORMAL", FaceNormal),
    VZRM_KEY("*MESH_TVERT", TVert),           VZRM_KEY("*MESH_VERTCOL", VertCol),
    VZRM_KEY("*MESH_FACE", Face),             VZRM_KEY("*MESH_TFACE", TFace),
    VZRM_KEY("*MESH_CFACE", CFace),           VZRM_KEY("*MESH_MAPPINGCHANNEL", MappingChannel),
};
#undef VZRM_KEY

// The passes meet every token of an object, most of them numbers: those are told apart by
// their first character, the rest by length before their text is compared.
Key keyOf(const char* token, size_t length) {
    if (token[0] != '*') return Key::Other;
    for (const KeyText& k : kKeys)
        if (k.length == length && std::memcmp(k.text, token, length) == 0) return k.key;
    return Key::Other;
}

// The next token of a pass and what it is; false at the end of the file. A pass ends after
// the next block keyword.
bool nextKey(std::FILE* f, Key& key) {
    char token[256];
    const size_t length = readToken(f, token);
    key = length ? keyOf(token, length) : Key::Other;
    return length != 0;
}

bool isBlockKeyword(Key key) { return key == Key::GeomObject || key == Key::Material; }

// Counts are read as 64-bit integers (an out-of-range "%d" would be undefined; beyond 64 bits
// they are held at the limits) and kept modulo 2^32.
void readCount(std::FILE* f, uint32_t& field) {
    long long value;
    if (textscan::scanInteger(f, value)) field = static_cast<uint32_t>(value);
}

void readFloat(std::FILE* f, float& field) { textscan::scanFloat(f, field); }

// "%f %f %f" (or "%f %f"): the number of values read, up to the first that is not there. The
// blanks between need no matching of their own: a number skips the white space before it.
int readFloats(std::FILE* f, float (&values)[3], int count) {
    int n = 0;
    while (n < count && textscan::scanFloat(f, values[n])) ++n;
    return n;
}

// The three corners of a face entry after its index: "\tA:\t%lld B:\t%lld C:\t%lld" for
// "*MESH_FACE" (labelled), "%lld %lld %lld" for the texture and colour faces.
int readCorners(std::FILE* f, bool labelled, long long (&corners)[3]) {
    static const char kLabels[3] = {'A', 'B', 'C'};
    int n = 0;
    for (; n < 3; ++n) {
        if (labelled) {
            textscan::skipSpace(f);
            if (!textscan::match(f, kLabels[n]) || !textscan::match(f, ':')) break;
        }
        if (!textscan::scanInteger(f, corners[n])) break;
    }
    return n;
}

// The quoted name after "*BITMAP": white space, the opening quote, then the text up to the
// closing quote on the same line, blanks and all (exporters write full paths, which often hold
// blanks). Without a closing quote within a name's length on that line the name is the token
// after the opening quote with its last character dropped, as a name without blanks reads.
void readBitmapName(std::FILE* f, char (&bitmapName)[256]) {
    int c;
    do c = std::fgetc(f);
    while (c != EOF && std::isspace(c));
    if (c != '"') {
        if (c != EOF) std::ungetc(c, f);
        return;
    }
    const long start = std::ftell(f);
    char name[256];
    size_t length = 0;
    while ((c = std::fgetc(f)) != EOF && c != '"' && c != '\n' && length < sizeof name - 1)
        name[length++] = static_cast<char>(c);
    if (c == '"') {
        name[length] = '\0';
        std::memcpy(bitmapName, name, length + 1);
        return;
    }
    if (start < 0 || std::fseek(f, start, SEEK_SET) != 0) return;
    char token[255];
    if (std::fscanf(f, "%254s", token) == 1) {
        // A NUL byte in the file ends the name early, possibly before its first character.
        const size_t length = std::strlen(token);
        if (length > 0) token[length - 1] = '\0';
        std::memcpy(bitmapName, token, std::strlen(token) + 1);
    }
}

// A Z-up file triple into Y-up storage, keeping what did not parse.
void storeTurned(std::array<float, 3>& target, int parsed, const float (&v)[3]) {
    if (parsed >= 1) target[0] = v[0];
    if (parsed >= 2) target[2] = -v[1];
    if (parsed >= 3) target[1] = v[2];
}

template <typename T>
bool resize(std::vector<T>& array, uint32_t count) {
    try {
        array.assign(count, T{});
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace

bool MeshObject::allocateArrays() {
    const bool fits = vertexCount <= kMaxElements && faceCount <= kMaxElements &&
                      texVertexCount <= kMaxElements && colourVertexCount <= kMaxElements;
    bool ok = fits && resize(vertices, vertexCount) && resize(faces, faceCount) &&
              resize(vertexNormals, hasNormals ? vertexCount : 0) &&
              resize(texVertices, texVertexCount) && resize(vertexColours, colourVertexCount);
    if (!ok) {
        vertices.clear();
        vertexNormals.clear();
        texVertices.clear();
        vertexColours.clear();
        faces.clear();
    }
    return ok;
}

int countGeomObjects(std::FILE* stream) { return walkLines(stream, "*GEOMOBJECT", 0); }

void seekGeomObject(std::FILE* stream, long long k) { walkLines(stream, "*GEOMOBJECT", k + 1); }

void seekMaterial(std::FILE* stream, long long m) { walkLines(stream, "*MATERIAL", m + 1); }

AseBlocks AseBlocks::indexed(std::FILE* f) {
    AseBlocks blocks;
    blocks.indexed_ = true;
    std::rewind(f);
    char token[256];
    while (walkStep(f, token)) {
        std::vector<long>* positions = !std::strcmp(token, "*GEOMOBJECT") ? &blocks.geomObjects_
                                       : !std::strcmp(token, "*MATERIAL") ? &blocks.materials_
                                                                          : nullptr;
        if (!positions) continue;
        long at = std::ftell(f);
        if (at < 0) return rescanning(f);  // a position that cannot be told cannot be sought
        try {
            positions->push_back(at);
        } catch (const std::bad_alloc&) {
            return rescanning(f);
        }
    }
    blocks.geomObjectCount_ = blocks.geomObjects_.size();
    blocks.materialCount_ = blocks.materials_.size();
    return blocks;
}

AseBlocks AseBlocks::rescanning(std::FILE* f) {
    AseBlocks blocks;
    blocks.geomObjectCount_ = static_cast<size_t>(walkLines(f, "*GEOMOBJECT", 0));
    blocks.materialCount_ = static_cast<size_t>(walkLines(f, "*MATERIAL", 0));
    return blocks;
}

namespace {

// Where the walk leaves the stream after the n-th block of a list: on the line after its
// keyword line, or at the end of the file when there is no such block.
void seekBlock(std::FILE* f, const std::vector<long>& positions, long long n) {
    if (n >= 0 && static_cast<unsigned long long>(n) < positions.size())
        std::fseek(f, positions[static_cast<size_t>(n)], SEEK_SET);
    else
        std::fseek(f, 0, SEEK_END);
}

}  // namespace

void AseBlocks::seekGeomObject(std::FILE* f, long long k) const {
    if (indexed_) seekBlock(f, geomObjects_, k);
    else ::seekGeomObject(f, k);
}

void AseBlocks::seekMaterial(std::FILE* f, long long m) const {
    if (indexed_) seekBlock(f, materials_, m);
    else ::seekMaterial(f, m);
}

void readObjectFields(std::FILE* f, MeshObject& o) {
    Key key = Key::Other;
    while (!isBlockKeyword(key) && nextKey(f, key)) {
        switch (key) {
        case Key::NumVertex: readCount(f, o.vertexCount); break;
        case Key::NumFaces: readCount(f, o.faceCount); break;
        case Key::NumTVertex: readCount(f, o.texVertexCount); break;
        case Key::NumTVFaces: readCount(f, o.texFaceCount); break;
        case Key::NumCVertex: readCount(f, o.colourVertexCount); break;
        case Key::NumCVFaces: readCount(f, o.colourFaceCount); break;
        case Key::MaterialRef: readCount(f, o.materialRef); break;
        case Key::Normals: o.hasNormals = 1; break;
        case Key::UTiling: readFloat(f, o.uTiling); break;
        case Key::VTiling: readFloat(f, o.vTiling); break;
        case Key::UOffset: readFloat(f, o.uOffset); break;
        case Key::VOffset: readFloat(f, o.vOffset); break;
        case Key::Bitmap: readBitmapName(f, o.bitmapName); break;
        default: break;
        }
    }
}

void readMeshData(std::FILE* f, MeshObject& o, MeshEntryTally* tally) {
    MeshEntryTally unused;
    MeshEntryTally& met = tally ? *tally : unused;
    // Counts the entry and tells whether its index lies inside the list.
    auto within = [&met](uint64_t& kind, long long i, size_t count) {
        ++kind;
        bool inside = i >= 0 && static_cast<unsigned long long>(i) < count;
        if (!inside) ++met.ignored;
        return inside;
    };
    if (tally && met.channels.empty()) met.channels.emplace_back();
    Key key = Key::Other;
    while (!isBlockKeyword(key) && nextKey(f, key)) {
        long long i;
        float v[3] = {0, 0, 0};
        if (tally && (key == Key::MappingChannel || key == Key::NumTVertex ||
                      key == Key::NumTVFaces)) {
            // Only the checker asks for these; the fields pass has read the counts drawn.
            if (key == Key::MappingChannel) {
                met.channels.emplace_back();
                textscan::scanInteger(f, met.channels.back().number);
            } else if (textscan::scanInteger(f, i)) {
                (key == Key::NumTVertex ? met.channels.back().announcedTexVertices
                                        : met.channels.back().announcedTexFaces) =
                    static_cast<uint32_t>(i);
            }
        } else if (key == Key::Vertex) {
            if (!textscan::scanInteger(f, i)) continue;
            int n = readFloats(f, v, 3);
            if (within(met.vertices, i, o.vertices.size())) storeTurned(o.vertices[i], n, v);
        } else if (key == Key::VertexNormal) {
            if (!textscan::scanInteger(f, i)) continue;
            int n = readFloats(f, v, 3);
            if (within(met.vertexNormals, i, o.hasNormals ? o.vertexNormals.size() : 0))
                storeTurned(o.vertexNormals[i], n, v);
        } else if (key == Key::FaceNormal) {
            if (!textscan::scanInteger(f, i)) continue;
            int n = readFloats(f, v, 3);
            if (within(met.faceNormals, i, o.faces.size())) {
                float* normal = o.faces[i].normal;
                std::array<float, 3> turned = {normal[0], normal[1], normal[2]};
                storeTurned(turned, n, v);
                std::memcpy(normal, turned.data(), sizeof o.faces[i].normal);
            }
        } else if (key == Key::TVert) {
            if (!textscan::scanInteger(f, i)) continue;
            int n = readFloats(f, v, 2);
            ++met.texVertices;
            if (tally) {
                MappingChannelTally& channel = met.channels.back();
                ++channel.texVertices;
                channel.outside += i < 0 || static_cast<unsigned long long>(i) >=
                                                channel.announcedTexVertices;
            }
            if (i >= 0 && static_cast<unsigned long long>(i) < o.texVertices.size()) {
                if (n >= 1) o.texVertices[i][0] = v[0] * o.uTiling + o.uOffset;
                if (n >= 2) o.texVertices[i][1] = v[1] * o.vTiling + o.vOffset;
            }
        } else if (key == Key::VertCol) {
            if (!textscan::scanInteger(f, i)) continue;
            int n = readFloats(f, v, 3);
            if (within(met.colourVertices, i, o.vertexColours.size()))
                for (int k = 0; k < n; ++k) o.vertexColours[i][k] = v[k];
        } else if (key == Key::Face || key == Key::TFace || key == Key::CFace) {
            // The index and a colon if one follows ("%lld:").
            if (!textscan::scanInteger(f, i)) continue;
            textscan::match(f, ':');
            const int kind = key == Key::Face ? 0 : key == Key::TFace ? 1 : 2;
            long long corners[3];
            int n = readCorners(f, kind == 0, corners);
            uint64_t* counted[3] = {&met.faces, &met.texFaces, &met.colourFaces};
            if (tally && kind == 1) ++met.channels.back().texFaces;
            if (!within(*counted[kind], i, o.faces.size())) continue;
            MeshFace& face = o.faces[i];
            uint32_t* targets[3][3] = {{&face.a, &face.b, &face.c},
                                       {&face.ta, &face.tb, &face.tc},
                                       {&face.ca, &face.cb, &face.cc}};
            for (int k = 0; k < n; ++k) *targets[kind][k] = static_cast<uint32_t>(corners[k]);
        }
    }
}

FaceIndexCheck checkFaceIndices(const MeshObject& o, const MeshFace& face) {
    auto inside = [](uint32_t a, uint32_t b, uint32_t c, size_t size) {
        return a < size && b < size && c < size;
    };
    return {inside(face.a, face.b, face.c, o.vertices.size()),
            inside(face.ta, face.tb, face.tc, o.texVertices.size()),
            inside(face.ca, face.cb, face.cc, o.vertexColours.size())};
}

bool faceInRange(const MeshObject& object, const MeshFace& face, bool textured, bool coloured) {
    FaceIndexCheck check = checkFaceIndices(object, face);
    return check.vertices && (!textured || check.texVertices) &&
           (!coloured || check.colourVertices);
}
