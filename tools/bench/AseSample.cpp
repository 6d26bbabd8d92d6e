#include "tools/bench/AseSample.h"

#include <cstdint>
#include <cstdio>
#include <random>

namespace {

class Writer {
public:
    Writer(const AseSampleShape& shape) : shape_(shape), random_(shape.seed) {}

    std::string text() {
        line("*3DSMAX_ASCIIEXPORT\t200");
        line("*COMMENT \"Generated sample\"");
        line("*MATERIAL_LIST {");
        line("\t*MATERIAL_COUNT " + std::to_string(shape_.materials));
        for (int m = 0; m < shape_.materials; ++m) material(m);
        line("}");
        for (int k = 0; k < shape_.objects; ++k) object(k);
        return out_;
    }

private:
    void line(const std::string& text) { out_ += text + (shape_.crlf ? "\r\n" : "\n"); }

    // Platform-independent draws (the standard distributions are not).
    unsigned below(unsigned n) { return static_cast<unsigned>(random_() % n); }
    std::string number() {
        char text[32];
        std::snprintf(text, sizeof text, "%.4f", static_cast<int>(below(200001)) / 1000.0 - 100);
        return text;
    }

    // A line whose first token is a comment and whose text runs on past what one step of the
    // line walk drops (254 characters after the token): with a pad of exactly 254 blanks the
    // walk takes the keyword at its end as the next step's token, with 253 it does not.
    void longLine(const std::string& keyword, size_t pad) {
        line("*COMMENT" + std::string(pad, ' ') + keyword + " {");
    }

    void material(int m) {
        line("\t*MATERIAL " + std::to_string(m) + " {");
        line("\t\t*MATERIAL_NAME \"Material #" + std::to_string(m) + "\"");
        line("\t\t*MAP_DIFFUSE {");
        line("\t\t\t*BITMAP \"C:\\Some Folder\\map " + std::to_string(m) + ".tga\"");
        line("\t\t\t*UVW_U_TILING " + std::string(m % 2 ? "2.0000" : "1.0000"));
        line("\t\t\t*UVW_V_TILING 1.0000");
        line("\t\t\t*UVW_U_OFFSET " + number());
        line("\t\t\t*UVW_V_OFFSET 0.0000");
        line("\t\t}");
        if (shape_.awkward) {
            line("\t\t*SUBMATERIAL 0 { *MATERIAL 7 *BITMAP \"inner.tga\" }");
            longLine("*MATERIAL", 253 + m % 2);  // every second one is a block the walk finds
        }
        line("\t}");
    }

    void object(int k) {
        const int v = shape_.vertices, faces = 2 * v;
        line("*GEOMOBJECT {");
        line("\t*NODE_NAME \"Object" + std::to_string(k) + "\"");
        line("\t*MESH {");
        line("\t\t*TIMEVALUE 0");
        line("\t\t*MESH_NUMVERTEX " + std::to_string(v));
        line("\t\t*MESH_NUMFACES " + std::to_string(faces));
        line("\t\t*MESH_VERTEX_LIST {");
        for (int i = 0; i < v; ++i)
            line("\t\t\t*MESH_VERTEX " + std::to_string(i) + "\t" + number() + "\t" + number() +
                 "\t" + number());
        line("\t\t}");
        line("\t\t*MESH_FACE_LIST {");
        for (int i = 0; i < faces; ++i)
            line("\t\t\t*MESH_FACE " + std::to_string(i) + ":    A: " + std::to_string(below(v)) +
                 " B: " + std::to_string(below(v)) + " C: " + std::to_string(below(v)) +
                 " AB:    1 BC:    1 CA:    0\t *MESH_SMOOTHING 1 \t*MESH_MTLID 0");
        line("\t\t}");
        if (shape_.awkward && k % 3 == 1) {
            line("\t\tx *GEOMOBJECT { *MESH_NUMVERTEX 99");  // not line-leading: no block
            longLine("*GEOMOBJECT", 253 + k % 2);
            line(std::string(300, 'y') + " *MESH_NUMTVERTEX 5");
        }
        line("\t\t*MESH_NUMTVERTEX " + std::to_string(v));
        line("\t\t*MESH_TVERTLIST {");
        for (int i = 0; i < v; ++i)
            line("\t\t\t*MESH_TVERT " + std::to_string(i) + "\t" + number() + "\t" + number() +
                 "\t0.0000");
        line("\t\t}");
        line("\t\t*MESH_NUMTVFACES " + std::to_string(faces));
        line("\t\t*MESH_TFACELIST {");
        for (int i = 0; i < faces; ++i)
            line("\t\t\t*MESH_TFACE " + std::to_string(i) + "\t" + std::to_string(below(v)) + "\t" +
                 std::to_string(below(v)) + "\t" + std::to_string(below(v + 2)));
        line("\t\t}");
        if (k % 2 == 0) {
            line("\t\t*MESH_NUMCVERTEX 2");
            line("\t\t*MESH_CVERTLIST {");
            line("\t\t\t*MESH_VERTCOL 0\t1.0000\t0.5000\t0.2500");
            line("\t\t\t*MESH_VERTCOL 1\t0.0000\t1.0000\t0.7500");
            line("\t\t}");
            line("\t\t*MESH_NUMCVFACES " + std::to_string(faces));
            line("\t\t*MESH_CFACELIST {");
            for (int i = 0; i < faces; ++i)
                line("\t\t\t*MESH_CFACE " + std::to_string(i) + "\t0\t1\t" +
                     std::to_string(below(3)));
            line("\t\t}");
        }
        line("\t\t*MESH_NORMALS {");
        for (int i = 0; i < faces; ++i) {
            line("\t\t\t*MESH_FACENORMAL " + std::to_string(i) + "\t" + number() + "\t" + number() +
                 "\t" + number());
            for (int corner = 0; corner < 3; ++corner)
                line("\t\t\t\t*MESH_VERTEXNORMAL " + std::to_string(below(v)) + "\t" + number() +
                     "\t" + number() + "\t" + number());
        }
        line("\t\t}");
        line("\t}");
        line("\t*PROP_MOTIONBLUR 0");
        line("\t*MATERIAL_REF " + std::to_string(k % (shape_.materials + 1)));
        line("}");
    }

    const AseSampleShape& shape_;
    std::mt19937 random_;
    std::string out_;
};

}  // namespace

std::string generateAseSample(const AseSampleShape& shape) { return Writer(shape).text(); }
