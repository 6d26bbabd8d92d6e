#pragma once
// OpenGL's fixed-function vertex lighting, done on the CPU with the lights and material read
// back from the current GL state. Lighting vertices ourselves lets a drawer hand OpenGL one
// array of pre-lit vertices where it would otherwise have needed a draw call (and a matrix)
// per small piece, and lets it light a corner once and interpolate the colour to points cut
// from the piece's edges, as OpenGL's own clipper does.
//
// The model is OpenGL 1.1's for front faces: emission, global ambient, and for every enabled
// light its ambient, diffuse and specular terms with attenuation and spot cone, the material
// following the current colour where colour material says so, a local or infinite viewer, the
// normal used as transformed (no normalising, as with GL_NORMALIZE off). Colours are clamped
// to [0, 1] as OpenGL clamps lit colours.

#include "platform/GlHeaders.h"

class FixedLighting {
public:
    // Reads the lighting state (lights in eye coordinates, material, light model). With
    // lighting off, shade() gives the colour unchanged.
    void capture();

    // The lit colour of a vertex at eye position eye[3] with eye-space normal n[3], the
    // current colour being colour[4].
    void shade(const float eye[3], const float n[3], const float colour[4], float out[4]) const;

    bool lighting = false;

private:
    struct Light {
        float ambient[4], diffuse[4], specular[4];
        float position[4];  // eye coordinates, divided by w when w is not 0
        float spotDirection[3], spotExponent, spotCutoff, spotCosCutoff;
        float constant, linear, quadratic;
    };
    static constexpr int kMaxLights = 8;
    Light lights_[kMaxLights] = {};
    int lightCount_ = 0;
    float globalAmbient_[4] = {};
    bool localViewer_ = false;
    float emission_[4] = {}, ambient_[4] = {}, diffuse_[4] = {}, specular_[4] = {};
    float shininess_ = 0;
    bool colourMaterial_ = false;
    GLenum colourMaterialMode_ = GL_AMBIENT_AND_DIFFUSE;
};

// The eye-space normal of an object-space normal under the modelview matrix m (column-major,
// as OpenGL returns it): the normal times the inverse of m's upper 3 x 3, as OpenGL
// transforms normals. A singular matrix gives the zero vector.
void eyeNormal(const float m[16], const float n[3], float out[3]);

// The eye position of object point p under m.
inline void eyePoint(const float m[16], const float p[3], float out[3]) {
    for (int r = 0; r < 3; ++r) out[r] = m[r] * p[0] + m[4 + r] * p[1] + m[8 + r] * p[2] + m[12 + r];
}
