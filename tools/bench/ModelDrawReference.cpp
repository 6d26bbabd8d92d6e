#include "tools/bench/ModelDrawReference.h"

#include <cmath>
#include <cstdio>

void drawModelPerVertex(const ModelScene& scene, GLuint overrideTexture) {
    glPushMatrix();
    glTranslatef(scene.translation[0], scene.translation[1], scene.translation[2]);
    glScalef(scene.scale[0], scene.scale[1], scene.scale[2]);
    glRotatef(scene.rotationAngle, scene.rotationAxis[0], scene.rotationAxis[1],
              scene.rotationAxis[2]);
    for (const MeshObject& o : scene.objects) {
        const GLuint texture = overrideTexture ? overrideTexture : o.textureName;
        if (texture) glBindTexture(GL_TEXTURE_2D, texture);
        else glDisable(GL_TEXTURE_2D);
        const bool tex = !o.texVertices.empty(), col = !o.vertexColours.empty();
        glBegin(GL_TRIANGLES);
        for (const MeshFace& f : o.faces) {
            if (!faceInRange(o, f, tex, col)) continue;
            const uint32_t v[3] = {f.a, f.b, f.c}, t[3] = {f.ta, f.tb, f.tc},
                           c[3] = {f.ca, f.cb, f.cc};
            if (o.hasNormals) glNormal3fv(f.normal);
            for (int k = 0; k < 3; ++k) {
                if (texture && tex) glTexCoord2fv(o.texVertices[t[k]].data());
                if (col) glColor3fv(o.vertexColours[c[k]].data());
                glVertex3fv(o.vertices[v[k]].data());
            }
        }
        glEnd();
        if (!texture) glEnable(GL_TEXTURE_2D);
    }
    glPopMatrix();
}

std::string sphereModelAse(int objects, int rings, int segments, const std::string& bitmap) {
    std::string out = "*3DSMAX_ASCIIEXPORT\t200\n*MATERIAL_LIST {\n\t*MATERIAL_COUNT 1\n"
                      "\t*MATERIAL 0 {\n\t\t*MAP_DIFFUSE {\n\t\t\t*BITMAP \"" +
                      bitmap + "\"\n\t\t}\n\t}\n}\n";
    char line[200];
    const double pi = 3.14159265358979;
    const int vertexCount = (rings + 1) * (segments + 1), faceCount = 2 * rings * segments;
    for (int n = 0; n < objects; ++n) {
        const double cx = (n - (objects - 1) / 2.0) * 12.0 / objects;
        const double radius = 6.0 / objects + 1.0;
        const bool coloured = n % 2 == 1;
        out += "*GEOMOBJECT {\n\t*MESH {\n";
        std::snprintf(line, sizeof line, "\t\t*MESH_NUMVERTEX %d\n\t\t*MESH_NUMFACES %d\n",
                      vertexCount, faceCount);
        out += line;
        auto at = [&](int r, int s, double& x, double& y, double& z) {
            double theta = pi * r / rings, phi = 2 * pi * s / segments;
            x = cx + radius * std::sin(theta) * std::cos(phi);
            y = radius * std::sin(theta) * std::sin(phi);
            z = radius * std::cos(theta);
        };
        for (int r = 0; r <= rings; ++r)
            for (int s = 0; s <= segments; ++s) {
                double x, y, z;
                at(r, s, x, y, z);
                std::snprintf(line, sizeof line, "\t\t*MESH_VERTEX %d\t%.4f\t%.4f\t%.4f\n",
                              r * (segments + 1) + s, x, y, z);
                out += line;
            }
        int face = 0;
        std::string normals;
        for (int r = 0; r < rings; ++r)
            for (int s = 0; s < segments; ++s) {
                int a = r * (segments + 1) + s, b = a + segments + 1;
                const int tris[2][3] = {{a, b, b + 1}, {a, b + 1, a + 1}};
                for (const auto& t : tris) {
                    std::snprintf(line, sizeof line,
                                  "\t\t*MESH_FACE %d:\tA:\t%d B:\t%d C:\t%d AB:\t1 BC:\t1 CA:\t0"
                                  "\t *MESH_SMOOTHING 1\t*MESH_MTLID 0\n",
                                  face, t[0], t[1], t[2]);
                    out += line;
                    double x, y, z;
                    at(r, s, x, y, z);
                    std::snprintf(line, sizeof line, "\t\t\t*MESH_FACENORMAL %d\t%.4f\t%.4f\t%.4f\n",
                                  face, (x - cx) / radius, y / radius, z / radius);
                    normals += line;
                    ++face;
                }
            }
        std::snprintf(line, sizeof line, "\t\t*MESH_NUMTVERTEX %d\n", vertexCount);
        out += line;
        for (int r = 0; r <= rings; ++r)
            for (int s = 0; s <= segments; ++s) {
                std::snprintf(line, sizeof line, "\t\t*MESH_TVERT %d\t%.4f\t%.4f\t0.0000\n",
                              r * (segments + 1) + s, 4.0 * s / segments, 2.0 * r / rings);
                out += line;
            }
        face = 0;
        for (int r = 0; r < rings; ++r)
            for (int s = 0; s < segments; ++s) {
                int a = r * (segments + 1) + s, b = a + segments + 1;
                std::snprintf(line, sizeof line, "\t\t*MESH_TFACE %d\t%d\t%d\t%d\n", face++, a, b,
                              b + 1);
                out += line;
                std::snprintf(line, sizeof line, "\t\t*MESH_TFACE %d\t%d\t%d\t%d\n", face++, a,
                              b + 1, a + 1);
                out += line;
            }
        if (coloured) {
            std::snprintf(line, sizeof line, "\t\t*MESH_NUMCVERTEX %d\n", segments);
            out += line;
            for (int s = 0; s < segments; ++s) {
                std::snprintf(line, sizeof line, "\t\t*MESH_VERTCOL %d\t%.4f\t%.4f\t%.4f\n", s,
                              0.5 + 0.5 * std::sin(s * 0.7), 0.5 + 0.5 * std::cos(s * 0.3), 0.8);
                out += line;
            }
            face = 0;
            for (int r = 0; r < rings; ++r)
                for (int s = 0; s < segments; ++s)
                    for (int k = 0; k < 2; ++k) {
                        std::snprintf(line, sizeof line, "\t\t*MESH_CFACE %d\t%d\t%d\t%d\n",
                                      face++, s, (s + 1) % segments, (s + 2) % segments);
                        out += line;
                    }
        }
        out += "\t\t*MESH_NORMALS {\n" + normals + "\t\t}\n\t}\n\t*MATERIAL_REF 0\n}\n";
    }
    return out;
}
