#include "readers/AseReader.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "readers/TextScan.h"

using textscan::Cursor;
using textscan::Token;
using Fields = AseBlockPass::Fields;
using MeshEntry = AseBlockPass::MeshEntry;

namespace {

constexpr uint32_t kMaxElements = 1u << 22;  // far beyond any model shown in a plug-in

Cursor cursorAt(std::string_view text, size_t at) {
    return {text.data() + at, text.data() + text.size()};
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

// The passes meet every token of an object that is not a number: keywords are told apart by
// their first character, then by length and their seventh character (every keyword has seven
// or more) before their text is compared.
Key keyOf(const Token& token) {
    if (token.text[0] != '*') return Key::Other;
    for (const KeyText& k : kKeys)
        if (k.length == token.length && k.text[6] == token.text[6] &&
            std::memcmp(k.text, token.text, token.length) == 0)
            return k.key;
    return Key::Other;
}

bool isBlockKeyword(Key key) { return key == Key::GeomObject || key == Key::Material; }

// The passes: the fields pass acts on the counts, the normals flag, the texture transform and
// the bitmap; the mesh pass on the list entries, and, when tallied, on the texture counts and
// the mapping channels. Each reads every other token as a token.
enum Role : unsigned { kFieldsRole = 1, kMeshRole = 2 };

bool fieldsActOn(Key key) {
    return key >= Key::NumVertex && key <= Key::Bitmap;
}

bool meshActsOn(Key key, bool tallied) {
    if (key >= Key::Vertex && key <= Key::CFace) return true;
    return tallied && (key == Key::MappingChannel || key == Key::NumTVertex ||
                       key == Key::NumTVFaces);
}

// Counts are read as 64-bit integers (beyond 64 bits they are held at the limits) and kept
// modulo 2^32.
void readCount(Cursor& c, Fields& fields, int slot) {
    long long value;
    if (!textscan::scanInteger(c, value)) return;
    fields.counts[slot] = static_cast<uint32_t>(value);
    fields.read |= 1u << slot;
}

// The quoted name after "*BITMAP": white space, the opening quote, then the text up to the
// closing quote on the same line, blanks and all (exporters write full paths, which often hold
// blanks). Without a closing quote within a name's length on that line the name is the token
// after the opening quote with its last character dropped, as a name without blanks reads.
// Returns how many bytes it wrote into bitmapName (the name and its NUL); 0 when none.
size_t readBitmapName(Cursor& c, char (&bitmapName)[256]) {
    textscan::skipSpace(c);
    if (!textscan::match(c, '"')) return 0;
    const char* const start = c.at;
    const char* p = start;
    size_t length = 0;
    // As many characters as a name holds, and one more read to see whether it is the quote.
    for (; p < c.end && *p != '"' && *p != '\n' && length < sizeof bitmapName - 1; ++p)
        ++length;
    if (p < c.end && *p == '"') {
        std::memcpy(bitmapName, start, length);
        bitmapName[length] = '\0';
        c.at = p + 1;
        return length + 1;
    }
    const Token token = textscan::readToken(c, 254);
    if (token.length == 0) return 0;
    // A NUL byte in the file ends the name early, possibly before its first character.
    const void* nul = std::memchr(token.text, '\0', token.length);
    size_t kept = nul ? static_cast<size_t>(static_cast<const char*>(nul) - token.text)
                      : token.length;
    if (kept > 0) --kept;
    std::memcpy(bitmapName, token.text, kept);
    bitmapName[kept] = '\0';
    return kept + 1;
}

void readField(Cursor& c, Key key, Fields& f) {
    switch (key) {
    case Key::NumVertex: readCount(c, f, 0); break;
    case Key::NumFaces: readCount(c, f, 1); break;
    case Key::NumTVertex: readCount(c, f, 2); break;
    case Key::NumTVFaces: readCount(c, f, 3); break;
    case Key::NumCVertex: readCount(c, f, 4); break;
    case Key::NumCVFaces: readCount(c, f, 5); break;
    case Key::MaterialRef: readCount(c, f, 6); break;
    case Key::Normals: f.read |= Fields::kNormals; break;
    case Key::UTiling:
    case Key::VTiling:
    case Key::UOffset:
    case Key::VOffset: {
        const int slot = static_cast<int>(key) - static_cast<int>(Key::UTiling);
        if (textscan::scanFloat(c, f.transform[slot])) f.read |= Fields::kUTiling << slot;
        break;
    }
    case Key::Bitmap: {
        char name[256];
        const size_t bytes = readBitmapName(c, name);
        if (bytes == 0) break;
        std::memcpy(f.bitmapName, name, bytes);
        f.bitmapBytes = std::max(f.bitmapBytes, bytes);
        f.read |= Fields::kBitmap;
        break;
    }
    default: break;
    }
}

// "%f %f %f" (or "%f %f"): the number of values read, up to the first that is not there. The
// blanks between need no matching of their own: a number skips the white space before it.
int readFloats(Cursor& c, float (&values)[3], int count) {
    int n = 0;
    while (n < count && textscan::scanFloat(c, values[n])) ++n;
    return n;
}

// The three corners of a face entry after its index: "\tA:\t%lld B:\t%lld C:\t%lld" for
// "*MESH_FACE" (labelled), "%lld %lld %lld" for the texture and colour faces.
int readCorners(Cursor& c, bool labelled, long long (&corners)[3]) {
    static const char kLabels[3] = {'A', 'B', 'C'};
    int n = 0;
    for (; n < 3; ++n) {
        if (labelled) {
            textscan::skipSpace(c);
            if (!textscan::match(c, kLabels[n]) || !textscan::match(c, ':')) break;
        }
        if (!textscan::scanInteger(c, corners[n])) break;
    }
    return n;
}

// One entry of the mesh pass, handed to out when its index (or, for a count or a mapping
// channel, its number) could be read.
template <typename Out>
void readMeshEntry(Cursor& c, Key key, Out& out) {
    MeshEntry e;
    e.key = static_cast<uint8_t>(key);
    e.parsed = 0;
    e.index = 0;
    e.values[0] = e.values[1] = e.values[2] = 0;
    switch (key) {
    case Key::MappingChannel:
        e.parsed = textscan::scanInteger(c, e.index);
        break;
    case Key::NumTVertex:
    case Key::NumTVFaces:
        if (!textscan::scanInteger(c, e.index)) return;
        break;
    case Key::Vertex:
    case Key::VertexNormal:
    case Key::FaceNormal:
    case Key::VertCol:
    case Key::TVert:
        if (!textscan::scanInteger(c, e.index)) return;
        e.parsed = static_cast<uint8_t>(readFloats(c, e.values, key == Key::TVert ? 2 : 3));
        break;
    case Key::Face:
    case Key::TFace:
    case Key::CFace: {
        // The index and a colon if one follows ("%lld:").
        if (!textscan::scanInteger(c, e.index)) return;
        textscan::match(c, ':');
        long long corners[3];
        const int n = readCorners(c, key == Key::Face, corners);
        for (int k = 0; k < n; ++k) e.corners[k] = static_cast<uint32_t>(corners[k]);
        e.parsed = static_cast<uint8_t>(n);
        break;
    }
    default: return;
    }
    out(e);
}

// Whether the other pass, reading the characters an action of one pass consumed from s to q
// as tokens, would meet no keyword of its own and stand at q after them. Numbers hold no '*',
// which every keyword starts with; a bitmap's name may.
bool sameAfterTokens(const char* s, const char* q, const char* end, bool name) {
    if (q == s) return true;
    if (name && std::memchr(s, '*', static_cast<size_t>(q - s))) return false;
    return textscan::isSpace(q[-1]) || q == end || textscan::isSpace(*q);
}

// A pass from c up to and including the next block keyword: the fields pass into fields, the
// mesh pass's entries to out, or both at once. Both at once, false as soon as the two would
// read the text differently (nothing written can then be used).
template <typename Out>
bool runPass(Cursor c, unsigned roles, bool tallied, Fields* fields, Out&& out) {
    const bool both = roles == (kFieldsRole | kMeshRole);
    for (;;) {
        const Token token = textscan::readToken(c);
        if (token.length == 0) return true;
        const Key key = keyOf(token);
        if (isBlockKeyword(key)) return true;
        const bool forFields = (roles & kFieldsRole) && fieldsActOn(key);
        const bool forMesh = (roles & kMeshRole) && meshActsOn(key, tallied);
        const char* const s = c.at;
        if (forFields && forMesh) {
            // A tallied pass's texture count, read the same way by both.
            Cursor again = c;
            readField(again, key, *fields);
            readMeshEntry(c, key, out);
            continue;
        }
        if (forFields) readField(c, key, *fields);
        else if (forMesh) readMeshEntry(c, key, out);
        else continue;
        if (both && !sameAfterTokens(s, c.at, c.end, key == Key::Bitmap)) return false;
    }
}

// Stores a Z-up file triple into Y-up storage, keeping what did not parse.
void storeTurned(std::array<float, 3>& target, int parsed, const float (&v)[3]) {
    if (parsed >= 1) target[0] = v[0];
    if (parsed >= 2) target[2] = -v[1];
    if (parsed >= 3) target[1] = v[2];
}

// What one mesh entry does to the object's arrays, and the tally's counts when counting.
void applyEntry(MeshObject& o, const MeshEntry& e, MeshEntryTally& met, bool counting) {
    // Counts the entry and tells whether its index lies inside the list.
    auto within = [&met](uint64_t& kind, long long i, size_t count) {
        ++kind;
        bool inside = i >= 0 && static_cast<unsigned long long>(i) < count;
        if (!inside) ++met.ignored;
        return inside;
    };
    const long long i = e.index;
    const int n = e.parsed;
    switch (static_cast<Key>(e.key)) {
    case Key::MappingChannel:
        if (!counting) break;
        met.channels.emplace_back();
        if (e.parsed) met.channels.back().number = i;
        break;
    case Key::NumTVertex:
        if (counting) met.channels.back().announcedTexVertices = static_cast<uint32_t>(i);
        break;
    case Key::NumTVFaces:
        if (counting) met.channels.back().announcedTexFaces = static_cast<uint32_t>(i);
        break;
    case Key::Vertex:
        if (within(met.vertices, i, o.vertices.size())) storeTurned(o.vertices[i], n, e.values);
        break;
    case Key::VertexNormal:
        if (within(met.vertexNormals, i, o.hasNormals ? o.vertexNormals.size() : 0))
            storeTurned(o.vertexNormals[i], n, e.values);
        break;
    case Key::FaceNormal:
        if (within(met.faceNormals, i, o.faces.size())) {
            float* normal = o.faces[i].normal;
            std::array<float, 3> turned = {normal[0], normal[1], normal[2]};
            storeTurned(turned, n, e.values);
            std::memcpy(normal, turned.data(), sizeof o.faces[i].normal);
        }
        break;
    case Key::TVert:
        ++met.texVertices;
        if (counting) {
            MappingChannelTally& channel = met.channels.back();
            ++channel.texVertices;
            channel.outside +=
                i < 0 || static_cast<unsigned long long>(i) >= channel.announcedTexVertices;
        }
        if (i >= 0 && static_cast<unsigned long long>(i) < o.texVertices.size()) {
            if (n >= 1) o.texVertices[i][0] = e.values[0] * o.uTiling + o.uOffset;
            if (n >= 2) o.texVertices[i][1] = e.values[1] * o.vTiling + o.vOffset;
        }
        break;
    case Key::VertCol:
        if (within(met.colourVertices, i, o.vertexColours.size()))
            for (int k = 0; k < n; ++k) o.vertexColours[i][k] = e.values[k];
        break;
    case Key::Face:
    case Key::TFace:
    case Key::CFace: {
        const int kind = e.key == static_cast<uint8_t>(Key::Face)    ? 0
                         : e.key == static_cast<uint8_t>(Key::TFace) ? 1
                                                                     : 2;
        uint64_t* counted[3] = {&met.faces, &met.texFaces, &met.colourFaces};
        if (counting && kind == 1) ++met.channels.back().texFaces;
        if (!within(*counted[kind], i, o.faces.size())) break;
        MeshFace& face = o.faces[i];
        uint32_t* targets[3][3] = {{&face.a, &face.b, &face.c},
                                   {&face.ta, &face.tb, &face.tc},
                                   {&face.ca, &face.cb, &face.cc}};
        for (int k = 0; k < n; ++k) *targets[kind][k] = e.corners[k];
        break;
    }
    default: break;
    }
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

AseBlocks::AseBlocks(std::string_view text) : textSize_(text.size()) {
    Cursor c = cursorAt(text, 0);
    try {
        while (c.at != c.end) {
            const Token token = textscan::readToken(c);
            if (token.length == 0) break;
            // The rest of the line: at most 254 characters, up to and including its line feed.
            const size_t room = std::min<size_t>(254, static_cast<size_t>(c.end - c.at));
            const void* lineFeed = std::memchr(c.at, '\n', room);
            c.at = lineFeed ? static_cast<const char*>(lineFeed) + 1 : c.at + room;
            // Compared as C strings: a NUL byte ends the token.
            const void* nul = std::memchr(token.text, '\0', token.length);
            const size_t length =
                nul ? static_cast<size_t>(static_cast<const char*>(nul) - token.text)
                    : token.length;
            const std::string_view word(token.text, length);
            const size_t at = static_cast<size_t>(c.at - text.data());
            if (word == "*GEOMOBJECT") geomObjects_.push_back(at);
            else if (word == "*MATERIAL") materials_.push_back(at);
        }
    } catch (const std::bad_alloc&) {
        geomObjects_.clear();
        materials_.clear();
    }
}

AseBlockPass AseBlockPass::material(std::string_view text, const AseBlocks& blocks,
                                    long long m) {
    AseBlockPass pass;
    pass.text_ = text;
    pass.start_ = blocks.materialStart(m);
    runPass(cursorAt(text, pass.start_), kFieldsRole, false, &pass.fields_,
            [](const MeshEntry&) {});
    return pass;
}

AseBlockPass AseBlockPass::geomObject(std::string_view text, const AseBlocks& blocks,
                                      long long k, bool tallied) {
    AseBlockPass pass;
    pass.text_ = text;
    pass.start_ = blocks.geomObjectStart(k);
    pass.tallied_ = tallied;
    const Cursor start = cursorAt(text, pass.start_);
    try {
        // Room for an entry every 16 characters up to the next object (real entries take 25 or
        // more): one allocation for most objects; untouched room costs no memory pages.
        const size_t span = std::max(blocks.geomObjectStart(k + 1), pass.start_) - pass.start_;
        pass.entries_.reserve(span / 16 + 16);
        pass.entriesKept_ = runPass(start, kFieldsRole | kMeshRole, tallied, &pass.fields_,
                                    [&pass](const MeshEntry& e) { pass.entries_.push_back(e); });
    } catch (const std::bad_alloc&) {
        pass.entriesKept_ = false;
    }
    if (!pass.entriesKept_) {
        // The fields by a pass of their own; the mesh pass reads the text again when applied.
        pass.entries_ = {};
        pass.fields_ = Fields{};
        runPass(start, kFieldsRole, tallied, &pass.fields_, [](const MeshEntry&) {});
    }
    return pass;
}

void AseBlockPass::applyFields(MeshObject& o) const {
    uint32_t* counts[7] = {&o.vertexCount,       &o.faceCount,       &o.texVertexCount,
                           &o.texFaceCount,      &o.colourVertexCount, &o.colourFaceCount,
                           &o.materialRef};
    for (int slot = 0; slot < 7; ++slot)
        if (fields_.read & (1u << slot)) *counts[slot] = fields_.counts[slot];
    if (fields_.read & Fields::kNormals) o.hasNormals = 1;
    float* transform[4] = {&o.uTiling, &o.vTiling, &o.uOffset, &o.vOffset};
    for (int slot = 0; slot < 4; ++slot)
        if (fields_.read & (Fields::kUTiling << slot)) *transform[slot] = fields_.transform[slot];
    if (fields_.read & Fields::kBitmap) std::memcpy(o.bitmapName, fields_.bitmapName, fields_.bitmapBytes);
}

void AseBlockPass::applyMesh(MeshObject& o, MeshEntryTally* tally) const {
    MeshEntryTally unused;
    MeshEntryTally& met = tally ? *tally : unused;
    const bool counting = tally && tallied_;
    if (counting && met.channels.empty()) met.channels.emplace_back();
    auto apply = [&](const MeshEntry& e) { applyEntry(o, e, met, counting); };
    if (entriesKept_) {
        for (const MeshEntry& e : entries_) apply(e);
    } else {
        runPass(cursorAt(text_, start_), kMeshRole, tallied_, nullptr, apply);
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
