#include "scene/FeatherTail.h"

#include "platform/GlHeaders.h"
#include "sprites/Matrix.h"
#include "scene/Lights.h"
#include "scene/OverlayState.h"
#include "settings/Settings.h"

void FeatherTail::draw() {
    if (!waveform || !settings_.tofOnOff) return;
    glPushMatrix();
    glDisable(GL_TEXTURE_2D);
    beginOverlay();
    glNormal3f(0, -1, 0);
    const float* diffuse = lights_.scaledColours + 3;
    const float colour[4] = {0.1f * diffuse[0], 0.1f * diffuse[1], 0.1f * diffuse[2], 1};
    const float normal[3] = {0, -1, 0};
    glColor4fv(colour);
    lighting_.capture();
    Matrix4 tail, projection;
    glGetFloatv(GL_MODELVIEW_MATRIX, tail.m);
    glGetFloatv(GL_PROJECTION_MATRIX, projection.m);

    float* position = positions_;
    float* lit = colours_;
    for (int i = 0; i < kFeathers; ++i) {
        const float d = static_cast<float>(i - 144) * 0.25f;
        const float left = static_cast<int8_t>(waveform[0][2 * i]);
        const float right = static_cast<int8_t>(waveform[1][2 * i]);
        const Matrix4 m = tail.translated(d, 0, 0) *
                          Matrix4::rotation(static_cast<float>(i) + frame_.angleLeft, 1, 1, 1) *
                          Matrix4().translated(0, 0, d) *
                          Matrix4::rotation(static_cast<float>(i) + frame_.angleRight, 1, 1, 1);
        // Clip coordinates made as the vertex stage makes them (the projection times the
        // modelview, then the point), so that edges fall on the same pixels.
        const Matrix4 clip = projection * m;
        float n[3];
        eyeNormal(m.m, normal, n);
        const float corners[3][3] = {{0, left * 0.25f, 0}, {10, 0, 0}, {0, -right * 0.25f, 0}};
        for (const auto& corner : corners) {
            float eye[3];
            eyePoint(m.m, corner, eye);
            lighting_.shade(eye, n, colour, lit);
            clip.transform(corner, position);
            position += 4;
            lit += 4;
        }
    }

    // The vertices are in clip coordinates and already lit.
    glLoadIdentity();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    if (lighting_.lighting) glDisable(GL_LIGHTING);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(4, GL_FLOAT, 0, positions_);
    glColorPointer(4, GL_FLOAT, 0, colours_);
    glDrawArrays(GL_TRIANGLES, 0, kFeathers * 3);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    if (lighting_.lighting) glEnable(GL_LIGHTING);
    glColor4fv(colour);  // colour material followed the array
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    endOverlay();
    glPopMatrix();
}
