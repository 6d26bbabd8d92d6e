#include "scene/FeatherTail.h"

#include "assets/GlHeaders.h"
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
    glColor3f(0.1f * diffuse[0], 0.1f * diffuse[1], 0.1f * diffuse[2]);

    for (int i = 0; i < 287; ++i) {
        const float d = static_cast<float>(i - 144) * 0.25f;
        const float left = static_cast<int8_t>(waveform[0][2 * i]);
        const float right = static_cast<int8_t>(waveform[1][2 * i]);
        glPushMatrix();
        glTranslatef(d, 0, 0);
        glRotatef(static_cast<float>(i) + frame_.angleLeft, 1, 1, 1);
        glTranslatef(0, 0, d);
        glRotatef(static_cast<float>(i) + frame_.angleRight, 1, 1, 1);
        glBegin(GL_TRIANGLES);
        glVertex3f(0, left * 0.25f, 0);
        glVertex3f(10, 0, 0);
        glVertex3f(0, -right * 0.25f, 0);
        glEnd();
        glPopMatrix();
    }

    endOverlay();
    glPopMatrix();
}
