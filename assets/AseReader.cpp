#include "assets/AseReader.h"

#include <cctype>
#include <cstring>
#include <new>

namespace {

constexpr uint32_t kMaxElements = 1u << 22;  // far beyond any model shown in a plug-in

bool atEnd(std::FILE* f) {
    int c = std::fgetc(f);
    if (c == EOF) return true;
    std::ungetc(c, f);
    return false;
}

bool readToken(std::FILE* f, char (&token)[256]) { return std::fscanf(f, "%255s", token) == 1; }

// Drops the rest of the current line, at most 254 characters at a time.
void discardLine(std::FILE* f) {
    char rest[255];
    if (!std::fgets(rest, sizeof rest, f)) return;
}

// One step of the line walk: the step's token, then the rest of its line dropped. False at
// the end of the file.
bool walkStep(std::FILE* f, char (&token)[256]) {
    if (atEnd(f) || !readToken(f, token)) return false;
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

bool isBlockKeyword(const char* token) {
    return std::strcmp(token, "*GEOMOBJECT") == 0 || std::strcmp(token, "*MATERIAL") == 0;
}

// Integers are read as 64-bit (an out-of-range "%d" would be undefined) and kept modulo 2^32.
void readCount(std::FILE* f, uint32_t& field) {
    long long value;
    if (std::fscanf(f, "%lld", &value) == 1) field = static_cast<uint32_t>(value);
}

void readFloat(std::FILE* f, float& field) {
    float value;
    if (std::fscanf(f, " %f", &value) == 1) field = value;
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
        token[std::strlen(token) - 1] = '\0';
        std::memcpy(bitmapName, token, std::strlen(token) + 1);
    }
}

// A Z-up file triple into Y-up storage, keeping what did not parse.
void storeTurned(std::array<float, 3>& target, int parsed, float x, float y, float z) {
    if (parsed >= 1) target[0] = x;
    if (parsed >= 2) target[2] = -y;
    if (parsed >= 3) target[1] = z;
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
    char token[256] = "";
    while (!isBlockKeyword(token) && readToken(f, token)) {
        if (!std::strcmp(token, "*MESH_NUMVERTEX")) readCount(f, o.vertexCount);
        else if (!std::strcmp(token, "*MESH_NUMFACES")) readCount(f, o.faceCount);
        else if (!std::strcmp(token, "*MESH_NUMTVERTEX")) readCount(f, o.texVertexCount);
        else if (!std::strcmp(token, "*MESH_NUMTVFACES")) readCount(f, o.texFaceCount);
        else if (!std::strcmp(token, "*MESH_NUMCVERTEX")) readCount(f, o.colourVertexCount);
        else if (!std::strcmp(token, "*MESH_NUMCVFACES")) readCount(f, o.colourFaceCount);
        else if (!std::strcmp(token, "*MATERIAL_REF")) readCount(f, o.materialRef);
        else if (!std::strcmp(token, "*MESH_NORMALS")) o.hasNormals = 1;
        else if (!std::strcmp(token, "*UVW_U_TILING")) readFloat(f, o.uTiling);
        else if (!std::strcmp(token, "*UVW_V_TILING")) readFloat(f, o.vTiling);
        else if (!std::strcmp(token, "*UVW_U_OFFSET")) readFloat(f, o.uOffset);
        else if (!std::strcmp(token, "*UVW_V_OFFSET")) readFloat(f, o.vOffset);
        else if (!std::strcmp(token, "*BITMAP")) readBitmapName(f, o.bitmapName);
    }
}

void readMeshData(std::FILE* f, MeshObject& o, MeshEntryTally* tally) {
    MeshEntryTally unused;
    MeshEntryTally& met = tally ? *tally : unused;
    char token[256] = "";
    // Counts the entry and tells whether its index lies inside the list.
    auto within = [&met](uint64_t& kind, long long i, size_t count) {
        ++kind;
        bool inside = i >= 0 && static_cast<unsigned long long>(i) < count;
        if (!inside) ++met.ignored;
        return inside;
    };
    while (!isBlockKeyword(token) && readToken(f, token)) {
        long long i;
        float x = 0, y = 0, z = 0;
        if (!std::strcmp(token, "*MESH_VERTEX")) {
            if (std::fscanf(f, "%lld", &i) != 1) continue;
            int n = std::fscanf(f, "%f %f %f", &x, &y, &z);
            if (within(met.vertices, i, o.vertices.size())) storeTurned(o.vertices[i], n, x, y, z);
        } else if (!std::strcmp(token, "*MESH_VERTEXNORMAL")) {
            if (std::fscanf(f, "%lld", &i) != 1) continue;
            int n = std::fscanf(f, "%f %f %f", &x, &y, &z);
            if (within(met.vertexNormals, i, o.hasNormals ? o.vertexNormals.size() : 0))
                storeTurned(o.vertexNormals[i], n, x, y, z);
        } else if (!std::strcmp(token, "*MESH_FACENORMAL")) {
            if (std::fscanf(f, "%lld", &i) != 1) continue;
            int n = std::fscanf(f, "%f %f %f", &x, &y, &z);
            if (within(met.faceNormals, i, o.faces.size())) {
                std::array<float, 3> normal = {o.faces[i].normal[0], o.faces[i].normal[1],
                                               o.faces[i].normal[2]};
                storeTurned(normal, n, x, y, z);
                std::memcpy(o.faces[i].normal, normal.data(), sizeof o.faces[i].normal);
            }
        } else if (!std::strcmp(token, "*MESH_TVERT")) {
            if (std::fscanf(f, "%lld", &i) != 1) continue;
            int n = std::fscanf(f, "%f %f", &x, &y);
            if (within(met.texVertices, i, o.texVertices.size())) {
                if (n >= 1) o.texVertices[i][0] = x * o.uTiling + o.uOffset;
                if (n >= 2) o.texVertices[i][1] = y * o.vTiling + o.vOffset;
            }
        } else if (!std::strcmp(token, "*MESH_VERTCOL")) {
            if (std::fscanf(f, "%lld", &i) != 1) continue;
            int n = std::fscanf(f, "%f %f %f", &x, &y, &z);
            if (within(met.colourVertices, i, o.vertexColours.size())) {
                float values[3] = {x, y, z};
                for (int k = 0; k < n && k < 3; ++k) o.vertexColours[i][k] = values[k];
            }
        } else if (!std::strcmp(token, "*MESH_FACE") || !std::strcmp(token, "*MESH_TFACE") ||
                   !std::strcmp(token, "*MESH_CFACE")) {
            if (std::fscanf(f, "%lld:", &i) != 1) continue;
            const int kind = token[6] == 'F' ? 0 : token[6] == 'T' ? 1 : 2;
            long long corners[3];
            int n = kind == 0 ? std::fscanf(f, "\tA:\t%lld B:\t%lld C:\t%lld", &corners[0],
                                            &corners[1], &corners[2])
                              : std::fscanf(f, "%lld %lld %lld", &corners[0], &corners[1],
                                            &corners[2]);
            uint64_t* counted[3] = {&met.faces, &met.texFaces, &met.colourFaces};
            if (!within(*counted[kind], i, o.faces.size())) continue;
            MeshFace& face = o.faces[i];
            uint32_t* targets[3][3] = {{&face.a, &face.b, &face.c},
                                       {&face.ta, &face.tb, &face.tc},
                                       {&face.ca, &face.cb, &face.cc}};
            for (int k = 0; k < n && k < 3; ++k)
                *targets[kind][k] = static_cast<uint32_t>(corners[k]);
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
