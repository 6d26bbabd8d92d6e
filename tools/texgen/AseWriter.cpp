#include "tools/texgen/AseWriter.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace {

// Appends one line: `depth` tabs, the formatted text and a Windows line end, as exporters write.
__attribute__((format(printf, 3, 4))) void line(std::string& out, int depth, const char* format,
                                                ...) {
    out.append(static_cast<size_t>(depth), '\t');
    char buffer[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    out += buffer;
    out += "\r\n";
}

// A number as exporters print it, four decimals; tiny values print as 0.0000, never -0.0000.
std::string number(float value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.4f", std::fabs(value) < 0.00005f ? 0.0f : value);
    return buffer;
}

std::string triple(float a, float b, float c) {
    return number(a) + "\t" + number(b) + "\t" + number(c);
}

// A Y-up point or direction in the file's Z-up axes.
std::string zUp(Vec3 p) { return triple(p.x, -p.z, p.y); }

void writeScene(std::string& out, const AseModel& model) {
    line(out, 0, "*3DSMAX_ASCIIEXPORT\t200");
    line(out, 0, "*COMMENT \"AsciiExport Version  2.00 - written by vzrm_texgen\"");
    line(out, 0, "*SCENE {");
    line(out, 1, "*SCENE_FILENAME \"%s\"", model.sourceName.c_str());
    line(out, 1, "*SCENE_FIRSTFRAME 0");
    line(out, 1, "*SCENE_LASTFRAME 100");
    line(out, 1, "*SCENE_FRAMESPEED 30");
    line(out, 1, "*SCENE_TICKSPERFRAME 160");
    line(out, 1, "*SCENE_BACKGROUND_STATIC %s", triple(0, 0, 0).c_str());
    line(out, 1, "*SCENE_AMBIENT_STATIC %s", triple(0.1f, 0.1f, 0.1f).c_str());
    line(out, 0, "}");
}

void writeMaterials(std::string& out, const AseModel& model) {
    line(out, 0, "*MATERIAL_LIST {");
    line(out, 1, "*MATERIAL_COUNT %zu", model.materials.size());
    for (size_t i = 0; i < model.materials.size(); ++i) {
        const AseMaterial& m = model.materials[i];
        line(out, 1, "*MATERIAL %zu {", i);
        line(out, 2, "*MATERIAL_NAME \"%s\"", m.name.c_str());
        line(out, 2, "*MATERIAL_CLASS \"Standard\"");
        Colour ambient = m.diffuse * 0.5f;
        line(out, 2, "*MATERIAL_AMBIENT %s", triple(ambient.r, ambient.g, ambient.b).c_str());
        line(out, 2, "*MATERIAL_DIFFUSE %s", triple(m.diffuse.r, m.diffuse.g, m.diffuse.b).c_str());
        line(out, 2, "*MATERIAL_SPECULAR %s", triple(0.9f, 0.9f, 0.9f).c_str());
        line(out, 2, "*MATERIAL_SHINE 0.2500");
        line(out, 2, "*MATERIAL_SHINESTRENGTH 0.5000");
        line(out, 2, "*MATERIAL_TRANSPARENCY 0.0000");
        line(out, 2, "*MATERIAL_WIRESIZE 1.0000");
        line(out, 2, "*MATERIAL_SHADING Blinn");
        line(out, 2, "*MATERIAL_XP_FALLOFF 0.0000");
        line(out, 2, "*MATERIAL_SELFILLUM 0.0000");
        line(out, 2, "*MATERIAL_FALLOFF In");
        line(out, 2, "*MATERIAL_XP_TYPE Filter");
        if (!m.bitmap.empty()) {
            line(out, 2, "*MAP_DIFFUSE {");
            line(out, 3, "*MAP_NAME \"%s Map\"", m.name.c_str());
            line(out, 3, "*MAP_CLASS \"Bitmap\"");
            line(out, 3, "*MAP_SUBNO 1");
            line(out, 3, "*MAP_AMOUNT 1.0000");
            line(out, 3, "*BITMAP \"%s\"", m.bitmap.c_str());
            line(out, 3, "*MAP_TYPE Screen");
            line(out, 3, "*UVW_U_OFFSET %s", number(m.uOffset).c_str());
            line(out, 3, "*UVW_V_OFFSET %s", number(m.vOffset).c_str());
            line(out, 3, "*UVW_U_TILING %s", number(m.uTiling).c_str());
            line(out, 3, "*UVW_V_TILING %s", number(m.vTiling).c_str());
            line(out, 3, "*UVW_ANGLE 0.0000");
            line(out, 3, "*UVW_BLUR 1.0000");
            line(out, 3, "*UVW_BLUR_OFFSET 0.0000");
            line(out, 3, "*UVW_NOUSE_AMT 1.0000");
            line(out, 3, "*UVW_NOISE_SIZE 1.0000");
            line(out, 3, "*UVW_NOISE_LEVEL 1");
            line(out, 3, "*UVW_NOISE_PHASE 0.0000");
            line(out, 3, "*BITMAP_FILTER Pyramidal");
            line(out, 2, "}");
        }
        line(out, 1, "}");
    }
    line(out, 0, "}");
}

// The normal of each corner: the face's own for faceted faces, otherwise the area-weighted
// mean of the faces of the same smoothing group that meet at the vertex.
std::vector<std::array<Vec3, 3>> cornerNormals(const AseObject& object) {
    struct Touch {
        int smoothing;
        Vec3 sum;
    };
    std::vector<std::vector<Touch>> byVertex(object.vertices.size());
    auto areaNormal = [&](const AseFace& f) {
        return cross(object.vertices[f.b] - object.vertices[f.a],
                     object.vertices[f.c] - object.vertices[f.a]);
    };
    for (const AseFace& f : object.faces) {
        if (f.smoothing == 0) continue;
        for (int v : {f.a, f.b, f.c}) {
            bool found = false;
            for (Touch& t : byVertex[v])
                if (t.smoothing == f.smoothing) t.sum = t.sum + areaNormal(f), found = true;
            if (!found) byVertex[v].push_back({f.smoothing, areaNormal(f)});
        }
    }
    std::vector<std::array<Vec3, 3>> normals;
    normals.reserve(object.faces.size());
    for (const AseFace& f : object.faces) {
        std::array<Vec3, 3> corner;
        int k = 0;
        for (int v : {f.a, f.b, f.c}) {
            corner[k] = faceNormal(object, f);
            for (const Touch& t : byVertex[v])
                if (t.smoothing == f.smoothing) corner[k] = normalised(t.sum);
            ++k;
        }
        normals.push_back(corner);
    }
    return normals;
}

void writeObject(std::string& out, const AseObject& o) {
    const char* name = o.name.c_str();
    line(out, 0, "*GEOMOBJECT {");
    line(out, 1, "*NODE_NAME \"%s\"", name);
    line(out, 1, "*NODE_TM {");
    line(out, 2, "*NODE_NAME \"%s\"", name);
    line(out, 2, "*INHERIT_POS 0 0 0");
    line(out, 2, "*INHERIT_ROT 0 0 0");
    line(out, 2, "*INHERIT_SCL 0 0 0");
    line(out, 2, "*TM_ROW0 %s", triple(1, 0, 0).c_str());
    line(out, 2, "*TM_ROW1 %s", triple(0, 1, 0).c_str());
    line(out, 2, "*TM_ROW2 %s", triple(0, 0, 1).c_str());
    line(out, 2, "*TM_ROW3 %s", triple(0, 0, 0).c_str());
    line(out, 2, "*TM_POS %s", triple(0, 0, 0).c_str());
    line(out, 2, "*TM_ROTAXIS %s", triple(0, 0, 0).c_str());
    line(out, 2, "*TM_ROTANGLE 0.0000");
    line(out, 2, "*TM_SCALE %s", triple(1, 1, 1).c_str());
    line(out, 2, "*TM_SCALEAXIS %s", triple(0, 0, 0).c_str());
    line(out, 2, "*TM_SCALEAXISANG 0.0000");
    line(out, 1, "}");

    line(out, 1, "*MESH {");
    line(out, 2, "*TIMEVALUE 0");
    line(out, 2, "*MESH_NUMVERTEX %zu", o.vertices.size());
    line(out, 2, "*MESH_NUMFACES %zu", o.faces.size());
    line(out, 2, "*MESH_VERTEX_LIST {");
    for (size_t i = 0; i < o.vertices.size(); ++i)
        line(out, 3, "*MESH_VERTEX %4zu\t%s", i, zUp(o.vertices[i]).c_str());
    line(out, 2, "}");
    line(out, 2, "*MESH_FACE_LIST {");
    for (size_t i = 0; i < o.faces.size(); ++i) {
        const AseFace& f = o.faces[i];
        line(out, 3,
             "*MESH_FACE %4zu:    A: %4d B: %4d C: %4d AB: %4d BC: %4d CA: %4d\t "
             "*MESH_SMOOTHING %d \t*MESH_MTLID 0",
             i, f.a, f.b, f.c, f.edgeAB, f.edgeBC, f.edgeCA, f.smoothing);
    }
    line(out, 2, "}");
    line(out, 2, "*MESH_NUMTVERTEX %zu", o.texVertices.size());
    line(out, 2, "*MESH_TVERTLIST {");
    for (size_t i = 0; i < o.texVertices.size(); ++i)
        line(out, 3, "*MESH_TVERT %zu\t%s", i,
             triple(o.texVertices[i][0], o.texVertices[i][1], 0).c_str());
    line(out, 2, "}");
    line(out, 2, "*MESH_NUMTVFACES %zu", o.faces.size());
    line(out, 2, "*MESH_TFACELIST {");
    for (size_t i = 0; i < o.faces.size(); ++i)
        line(out, 3, "*MESH_TFACE %zu\t%d\t%d\t%d", i, o.faces[i].ta, o.faces[i].tb, o.faces[i].tc);
    line(out, 2, "}");
    line(out, 2, "*MESH_NUMCVERTEX 0");
    line(out, 2, "*MESH_NORMALS {");
    std::vector<std::array<Vec3, 3>> corners = cornerNormals(o);
    for (size_t i = 0; i < o.faces.size(); ++i) {
        const AseFace& f = o.faces[i];
        line(out, 3, "*MESH_FACENORMAL %zu\t%s", i, zUp(faceNormal(o, f)).c_str());
        const int vertex[3] = {f.a, f.b, f.c};
        for (int k = 0; k < 3; ++k)
            line(out, 4, "*MESH_VERTEXNORMAL %d\t%s", vertex[k], zUp(corners[i][k]).c_str());
    }
    line(out, 2, "}");
    line(out, 1, "}");
    line(out, 1, "*PROP_MOTIONBLUR 0");
    line(out, 1, "*PROP_CASTSHADOW 1");
    line(out, 1, "*PROP_RECVSHADOW 1");
    line(out, 1, "*MATERIAL_REF %d", o.materialRef);
    line(out, 0, "}");
}

}  // namespace

Vec3 faceNormal(const AseObject& object, const AseFace& face) {
    return normalised(cross(object.vertices[face.b] - object.vertices[face.a],
                            object.vertices[face.c] - object.vertices[face.a]));
}

std::string writeAse(const AseModel& model) {
    std::string out;
    writeScene(out, model);
    writeMaterials(out, model);
    for (const AseObject& object : model.objects) writeObject(out, object);
    return out;
}
