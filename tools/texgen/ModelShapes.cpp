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

// The vertices of a lathe: one ring of `sides` a profile point, one vertex on the axis. Returns
// the first vertex of each ring.
std::vector<int> addLatheVertices(AseObject& object, const std::vector<ProfilePoint>& profile,
                                  int sides, float phase) {
    std::vector<int> firstVertex(profile.size());
    for (size_t i = 0; i < profile.size(); ++i) {
        const ProfilePoint& p = profile[i];
        firstVertex[i] = static_cast<int>(object.vertices.size());
        for (int j = 0; j < (p.radius == 0 ? 1 : sides); ++j) {
            float angle = phase + kTau * j / sides;
            object.vertices.push_back(
                {p.radius * std::sin(angle), p.height, p.radius * std::cos(angle)});
        }
    }
    return firstVertex;
}

}  // namespace

void addLathe(AseObject& object, const std::vector<ProfilePoint>& profile, int sides, float phase,
              int smoothing) {
    const int rings = static_cast<int>(profile.size());
    const std::vector<int> firstVertex = addLatheVertices(object, profile, sides, phase);
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

void addWrappedLathe(AseObject& object, const std::vector<ProfilePoint>& profile, int sides,
                     float phase, int smoothing) {
    const int rings = static_cast<int>(profile.size());
    const std::vector<int> firstVertex = addLatheVertices(object, profile, sides, phase);
    // A row of sides + 1 texture vertices a ring (the seam twice); on the axis, one a facet at
    // the middle of its column.
    const int firstTex = static_cast<int>(object.texVertices.size());
    for (int i = 0; i < rings; ++i)
        for (int j = 0; j <= sides; ++j) {
            float u = profile[i].radius == 0 ? (j + 0.5f) / sides : float(j) / sides;
            addTexVertex(object, u, float(i) / (rings - 1));
        }
    auto vertex = [&](int i, int j) {
        return firstVertex[i] + (profile[i].radius == 0 ? 0 : j % sides);
    };
    auto tex = [&](int i, int j, int column) {
        return firstTex + i * (sides + 1) + (profile[i].radius == 0 ? column : j);
    };
    for (int i = 0; i + 1 < rings; ++i)
        for (int j = 0; j < sides; ++j)
            addQuad(object,
                    {vertex(i, j), vertex(i, j + 1), vertex(i + 1, j + 1), vertex(i + 1, j)},
                    {tex(i, j, j), tex(i, j + 1, j), tex(i + 1, j + 1, j), tex(i + 1, j, j)},
                    smoothing);
}

void addGlobe(AseObject& object, Vec3 centre, float radius, int sides, int rings, int smoothing) {
    std::vector<ProfilePoint> profile;
    for (int i = 0; i <= rings; ++i) {
        float latitude = kTau / 2 * (float(i) / rings - 0.5f);
        profile.push_back({i == 0 || i == rings ? 0 : radius * std::cos(latitude),
                           radius * std::sin(latitude)});
    }
    const size_t first = object.vertices.size();
    addWrappedLathe(object, profile, sides, 0, smoothing);
    for (size_t i = first; i < object.vertices.size(); ++i)
        object.vertices[i] = object.vertices[i] + centre;
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

void scaleObject(AseObject& object, Vec3 factors) {
    for (Vec3& p : object.vertices) p = {p.x * factors.x, p.y * factors.y, p.z * factors.z};
}

void rotateObject(AseObject& object, Vec3 axis, float degrees) {
    Vec3 k = normalised(axis);
    float angle = degrees * kTau / 360, c = std::cos(angle), s = std::sin(angle);
    for (Vec3& p : object.vertices)  // Rodrigues' rotation formula
        p = p * c + cross(k, p) * s + k * (dot(k, p) * (1 - c));
}
