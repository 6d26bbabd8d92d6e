#include "tools/texgen/ModelShapes.h"

#include <cmath>

namespace {

constexpr float kTau = 6.28318530718f;

int addTexVertex(AseObject& object, float u, float v) {
    object.texVertices.push_back({u, v});
    return static_cast<int>(object.texVertices.size()) - 1;
}

// The quad v0 v1 v2 v3 (counter-clockwise from outside) as two triangles sharing the diagonal
// v0-v2. A triangle with a repeated corner (where the quad closes onto an apex) is left out.
void addQuad(AseObject& object, const int (&v)[4], const int (&t)[4], int smoothing) {
    bool first = v[0] != v[1] && v[1] != v[2] && v[2] != v[0];
    bool second = v[0] != v[2] && v[2] != v[3] && v[3] != v[0];
    if (first) {
        AseFace f{v[0], v[1], v[2], t[0], t[1], t[2], smoothing};
        f.edgeCA = !second;
        object.faces.push_back(f);
    }
    if (second) {
        AseFace f{v[0], v[2], v[3], t[0], t[2], t[3], smoothing};
        f.edgeAB = !first;
        object.faces.push_back(f);
    }
}

}  // namespace

void addLathe(AseObject& object, const std::vector<ProfilePoint>& profile, int sides, float phase,
              int smoothing) {
    const int rings = static_cast<int>(profile.size());
    std::vector<int> firstVertex(rings);
    for (int i = 0; i < rings; ++i) {
        const ProfilePoint& p = profile[i];
        firstVertex[i] = static_cast<int>(object.vertices.size());
        for (int j = 0; j < (p.radius == 0 ? 1 : sides); ++j) {
            float angle = phase + kTau * j / sides;
            object.vertices.push_back(
                {p.radius * std::sin(angle), p.height, p.radius * std::cos(angle)});
        }
    }
    // The corners of the picture, then the middle of its bottom and top edges for the apexes.
    const int t = addTexVertex(object, 0, 0);
    addTexVertex(object, 1, 0);
    addTexVertex(object, 1, 1);
    addTexVertex(object, 0, 1);
    addTexVertex(object, 0.5f, 0);
    addTexVertex(object, 0.5f, 1);
    auto vertex = [&](int i, int j) {
        return firstVertex[i] + (profile[i].radius == 0 ? 0 : j % sides);
    };
    for (int i = 0; i + 1 < rings; ++i) {
        bool bottomApex = profile[i].radius == 0, topApex = profile[i + 1].radius == 0;
        for (int j = 0; j < sides; ++j)
            addQuad(object,
                    {vertex(i, j), vertex(i, j + 1), vertex(i + 1, j + 1), vertex(i + 1, j)},
                    {bottomApex ? t + 4 : t, bottomApex ? t + 4 : t + 1, topApex ? t + 5 : t + 2,
                     topApex ? t + 5 : t + 3},
                    smoothing);
    }
}

void addTube(AseObject& object, const std::vector<Vec3>& curve, Vec3 reference, float radius,
             int sides, int smoothing) {
    const int n = static_cast<int>(curve.size());
    const int first = static_cast<int>(object.vertices.size());
    const int firstTex = static_cast<int>(object.texVertices.size());
    for (int i = 0; i < n; ++i) {
        Vec3 tangent = normalised(curve[(i + 1) % n] - curve[(i + n - 1) % n]);
        Vec3 normal = normalised(cross(reference, tangent));
        Vec3 binormal = cross(tangent, normal);
        for (int k = 0; k < sides; ++k) {
            float angle = kTau * k / sides;
            object.vertices.push_back(
                curve[i] + (normal * std::cos(angle) + binormal * std::sin(angle)) * radius);
        }
    }
    for (int i = 0; i <= n; ++i)
        for (int k = 0; k <= sides; ++k) addTexVertex(object, float(i) / n, float(k) / sides);
    auto vertex = [&](int i, int k) { return first + (i % n) * sides + k % sides; };
    auto tex = [&](int i, int k) { return firstTex + i * (sides + 1) + k; };
    // Around the tube first, then along the curve: (binormal x tangent) is the outward normal.
    for (int i = 0; i < n; ++i)
        for (int k = 0; k < sides; ++k)
            addQuad(object,
                    {vertex(i, k), vertex(i, k + 1), vertex(i + 1, k + 1), vertex(i + 1, k)},
                    {tex(i, k), tex(i, k + 1), tex(i + 1, k + 1), tex(i + 1, k)}, smoothing);
}

void rotateObject(AseObject& object, Vec3 axis, float degrees) {
    Vec3 k = normalised(axis);
    float angle = degrees * kTau / 360, c = std::cos(angle), s = std::sin(angle);
    for (Vec3& p : object.vertices)  // Rodrigues' rotation formula
        p = p * c + cross(k, p) * s + k * (dot(k, p) * (1 - c));
}
