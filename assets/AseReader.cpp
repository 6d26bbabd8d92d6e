#include "assets/AseReader.h"

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

// Walks line-leading keywords; returns the number of matches, stopping after the line of the
// stopAt-th match when stopAt is positive.
int walkLines(std::FILE* f, const char* keyword, long long stopAt) {
    std::rewind(f);
    int matches = 0;
    char token[256];
    while (!atEnd(f)) {
        if (!readToken(f, token)) break;
        bool match = std::strcmp(token, keyword) == 0;
        discardLine(f);
        if (match && ++matches == stopAt) break;
    }
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
        else if (!std::strcmp(token, "*BITMAP")) {
            // The quoted name: one token after the opening quote, its closing quote dropped.
            char name[255];
            if (std::fscanf(f, " \"%254s", name) == 1) {
                name[std::strlen(name) - 1] = '\0';
                std::memcpy(o.bitmapName, name, std::strlen(name) + 1);
            }
        }
    }
}

void readMeshData(std::FILE* f, MeshObject& o) {
    char token[256] = "";
    auto within = [](long long i, size_t count) {
        return i >= 0 && static_cast<unsigned long long>(i) < count;
    };
    while (!isBlockKeyword(token) && readToken(f, token)) {
        long long i;
        float x = 0, y = 0, z = 0;
        if (!std::strcmp(token, "*MESH_VERTEX")) {
            if (std::fscanf(f, "%lld", &i) != 1) continue;
            int n = std::fscanf(f, "%f %f %f", &x, &y, &z);
            if (within(i, o.vertices.size())) storeTurned(o.vertices[i], n, x, y, z);
        } else if (!std::strcmp(token, "*MESH_VERTEXNORMAL")) {
            if (std::fscanf(f, "%lld", &i) != 1) continue;
            int n = std::fscanf(f, "%f %f %f", &x, &y, &z);
            if (o.hasNormals && within(i, o.vertexNormals.size()))
                storeTurned(o.vertexNormals[i], n, x, y, z);
        } else if (!std::strcmp(token, "*MESH_FACENORMAL")) {
            if (std::fscanf(f, "%lld", &i) != 1) continue;
            int n = std::fscanf(f, "%f %f %f", &x, &y, &z);
            if (within(i, o.faces.size())) {
                std::array<float, 3> normal = {o.faces[i].normal[0], o.faces[i].normal[1],
                                               o.faces[i].normal[2]};
                storeTurned(normal, n, x, y, z);
                std::memcpy(o.faces[i].normal, normal.data(), sizeof o.faces[i].normal);
            }
        } else if (!std::strcmp(token, "*MESH_TVERT")) {
            if (std::fscanf(f, "%lld", &i) != 1) continue;
            int n = std::fscanf(f, "%f %f", &x, &y);
            if (within(i, o.texVertices.size())) {
                if (n >= 1) o.texVertices[i][0] = x * o.uTiling + o.uOffset;
                if (n >= 2) o.texVertices[i][1] = y * o.vTiling + o.vOffset;
            }
        } else if (!std::strcmp(token, "*MESH_VERTCOL")) {
            if (std::fscanf(f, "%lld", &i) != 1) continue;
            int n = std::fscanf(f, "%f %f %f", &x, &y, &z);
            if (within(i, o.vertexColours.size())) {
                float values[3] = {x, y, z};
                for (int k = 0; k < n && k < 3; ++k) o.vertexColours[i][k] = values[k];
            }
        } else if (!std::strcmp(token, "*MESH_FACE") || !std::strcmp(token, "*MESH_TFACE") ||
                   !std::strcmp(token, "*MESH_CFACE")) {
            if (std::fscanf(f, "%lld:", &i) != 1) continue;
            long long corners[3];
            int n = token[6] == 'F' ? std::fscanf(f, "\tA:\t%lld B:\t%lld C:\t%lld", &corners[0],
                                                  &corners[1], &corners[2])
                                    : std::fscanf(f, "%lld %lld %lld", &corners[0], &corners[1],
                                                  &corners[2]);
            if (!within(i, o.faces.size())) continue;
            MeshFace& face = o.faces[i];
            uint32_t* targets[3][3] = {{&face.a, &face.b, &face.c},
                                       {&face.ta, &face.tb, &face.tc},
                                       {&face.ca, &face.cb, &face.cc}};
            uint32_t** target = targets[token[6] == 'F' ? 0 : token[6] == 'T' ? 1 : 2];
            for (int k = 0; k < n && k < 3; ++k) *target[k] = static_cast<uint32_t>(corners[k]);
        }
    }
}
