#include "sprites/FixedLighting.h"

#include <cmath>

namespace {

float dot3(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

void normalise3(float* v) {
    float length = std::sqrt(dot3(v, v));
    if (length > 0)
        for (int i = 0; i < 3; ++i) v[i] /= length;
}

float clamp01(float v) { return v < 0 ? 0 : v > 1 ? 1 : v; }

}  // namespace

void FixedLighting::capture() {
    lighting = glIsEnabled(GL_LIGHTING) == GL_TRUE;
    lightCount_ = 0;
    if (!lighting) return;
    GLint maxLights = 0;
    glGetIntegerv(GL_MAX_LIGHTS, &maxLights);
    for (GLint i = 0; i < maxLights && lightCount_ < kMaxLights; ++i) {
        const GLenum id = GL_LIGHT0 + static_cast<GLenum>(i);
        if (!glIsEnabled(id)) continue;
        Light& l = lights_[lightCount_++];
        glGetLightfv(id, GL_AMBIENT, l.ambient);
        glGetLightfv(id, GL_DIFFUSE, l.diffuse);
        glGetLightfv(id, GL_SPECULAR, l.specular);
        glGetLightfv(id, GL_POSITION, l.position);
        glGetLightfv(id, GL_SPOT_DIRECTION, l.spotDirection);
        glGetLightfv(id, GL_SPOT_EXPONENT, &l.spotExponent);
        glGetLightfv(id, GL_SPOT_CUTOFF, &l.spotCutoff);
        glGetLightfv(id, GL_CONSTANT_ATTENUATION, &l.constant);
        glGetLightfv(id, GL_LINEAR_ATTENUATION, &l.linear);
        glGetLightfv(id, GL_QUADRATIC_ATTENUATION, &l.quadratic);
        if (l.position[3] != 0)
            for (int k = 0; k < 3; ++k) l.position[k] /= l.position[3];
        l.spotCosCutoff = std::cos(l.spotCutoff * 3.14159265358979f / 180);
        normalise3(l.spotDirection);
    }
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, globalAmbient_);
    GLint local = 0;
    glGetIntegerv(GL_LIGHT_MODEL_LOCAL_VIEWER, &local);
    localViewer_ = local != 0;
    glGetMaterialfv(GL_FRONT, GL_EMISSION, emission_);
    glGetMaterialfv(GL_FRONT, GL_AMBIENT, ambient_);
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse_);
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, specular_);
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess_);
    colourMaterial_ = glIsEnabled(GL_COLOR_MATERIAL) == GL_TRUE;
    GLint face = GL_FRONT_AND_BACK, mode = GL_AMBIENT_AND_DIFFUSE;
    glGetIntegerv(GL_COLOR_MATERIAL_FACE, &face);
    glGetIntegerv(GL_COLOR_MATERIAL_PARAMETER, &mode);
    colourMaterial_ = colourMaterial_ && face != GL_BACK;
    colourMaterialMode_ = static_cast<GLenum>(mode);
}

void FixedLighting::shade(const float eye[3], const float n[3], const float colour[4],
                          float out[4]) const {
    if (!lighting) {
        for (int k = 0; k < 4; ++k) out[k] = clamp01(colour[k]);
        return;
    }
    const bool follows = colourMaterial_;
    const GLenum mode = colourMaterialMode_;
    const float* emission = follows && mode == GL_EMISSION ? colour : emission_;
    const float* ambient =
        follows && (mode == GL_AMBIENT || mode == GL_AMBIENT_AND_DIFFUSE) ? colour : ambient_;
    const float* diffuse =
        follows && (mode == GL_DIFFUSE || mode == GL_AMBIENT_AND_DIFFUSE) ? colour : diffuse_;
    const float* specular = follows && mode == GL_SPECULAR ? colour : specular_;

    float sum[3];
    for (int k = 0; k < 3; ++k) sum[k] = emission[k] + ambient[k] * globalAmbient_[k];
    for (int i = 0; i < lightCount_; ++i) {
        const Light& l = lights_[i];
        float toLight[3], attenuation = 1;
        if (l.position[3] != 0) {
            for (int k = 0; k < 3; ++k) toLight[k] = l.position[k] - eye[k];
            const float distance = std::sqrt(dot3(toLight, toLight));
            const float divisor = l.constant + l.linear * distance + l.quadratic * distance * distance;
            if (divisor > 0) attenuation = 1 / divisor;
        } else {
            for (int k = 0; k < 3; ++k) toLight[k] = l.position[k];
        }
        normalise3(toLight);
        if (l.spotCutoff != 180) {
            const float fromLight[3] = {-toLight[0], -toLight[1], -toLight[2]};
            const float cosine = dot3(fromLight, l.spotDirection);
            attenuation *= cosine < l.spotCosCutoff ? 0 : std::pow(cosine > 0 ? cosine : 0, l.spotExponent);
        }
        const float facing = dot3(n, toLight);
        float lit[3];
        for (int k = 0; k < 3; ++k) lit[k] = ambient[k] * l.ambient[k];
        if (facing > 0) {
            for (int k = 0; k < 3; ++k) lit[k] += facing * diffuse[k] * l.diffuse[k];
            float half[3] = {toLight[0], toLight[1], toLight[2] + 1};
            if (localViewer_) {
                float toViewer[3] = {-eye[0], -eye[1], -eye[2]};
                normalise3(toViewer);
                for (int k = 0; k < 3; ++k) half[k] = toLight[k] + toViewer[k];
            }
            normalise3(half);
            const float h = dot3(n, half);
            if (h > 0) {
                const float highlight = shininess_ == 0 ? 1 : std::pow(h, shininess_);
                for (int k = 0; k < 3; ++k) lit[k] += highlight * specular[k] * l.specular[k];
            }
        }
        for (int k = 0; k < 3; ++k) sum[k] += attenuation * lit[k];
    }
    for (int k = 0; k < 3; ++k) out[k] = clamp01(sum[k]);
    out[3] = clamp01(diffuse[3]);
}

void eyeNormal(const float m[16], const float n[3], float out[3]) {
    // Rows of the inverse of the upper 3 x 3 (m[c * 4 + r] is row r, column c) from its
    // cofactors; the eye normal is n as a row vector times that inverse.
    const double a = m[0], b = m[4], c = m[8], d = m[1], e = m[5], f = m[9], g = m[2], h = m[6],
                 i = m[10];
    const double A = e * i - f * h, B = f * g - d * i, C = d * h - e * g;
    const double determinant = a * A + b * B + c * C;
    if (determinant == 0) {
        out[0] = out[1] = out[2] = 0;
        return;
    }
    const double inverse[3][3] = {{A, c * h - b * i, b * f - c * e},
                                  {B, a * i - c * g, c * d - a * f},
                                  {C, b * g - a * h, a * e - b * d}};
    for (int col = 0; col < 3; ++col)
        out[col] = static_cast<float>((n[0] * inverse[0][col] + n[1] * inverse[1][col] +
                                       n[2] * inverse[2][col]) /
                                      determinant);
}
