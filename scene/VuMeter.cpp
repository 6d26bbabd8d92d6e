#include "scene/VuMeter.h"

#include <cmath>

#include "platform/GlHeaders.h"
#include "sprites/Matrix.h"
#include "scene/Lights.h"
#include "scene/OverlayState.h"
#include "settings/Settings.h"

float spokeAngle(int n, int j) { return static_cast<float>(n - j) * (6.2831855f / static_cast<float>(n)); }

// Spokes j = 1 .. n - 1 at x = side * j: each a diameter of radius 10 joined to the origin,
// sent as one array.
void VuMeter::spokeFan(int n, int side) {
    if (n <= 1) return;
    if (n > kMaxSpokes) n = kMaxSpokes;
    float* v = spokeVertices_;
    for (int j = 1; j < n; ++j) {
        float theta = spokeAngle(n, j);
        float x = static_cast<float>(side * j), s = 10 * std::sin(theta), c = 10 * std::cos(theta);
        const float triangle[9] = {x, -s, -c, x, s, c, 0, 0, 0};
        for (float value : triangle) *v++ = value;
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, spokeVertices_);
    glDrawArrays(GL_TRIANGLES, 0, 3 * (n - 1));
    glDisableClientState(GL_VERTEX_ARRAY);
}

// Three crossed sprites at both ends of every spoke, added to the meter's batch.
void VuMeter::spriteStars(int n, int side, float angle, float crossing) {
    if (n <= 1) return;
    // One read-back for the fan; each sprite's matrix is then made here, so that a sprite
    // costs no OpenGL call at all (under Wine every call crosses into the host's library).
    Matrix4 fan;
    glGetFloatv(GL_MODELVIEW_MATRIX, fan.m);
    const Matrix4 aboutX = Matrix4::rotation(crossing, 1, 0, 0);
    const Matrix4 aboutY = Matrix4::rotation(crossing, 0, 1, 0);
    for (int j = 1; j < n; ++j) {
        float theta = spokeAngle(n, j);
        float x = static_cast<float>(side * j), s = 10 * std::sin(theta), c = 10 * std::cos(theta);
        const int frame = static_cast<int>(static_cast<float>(j) + angle) % 10;
        for (float end : {-1.0f, 1.0f}) {
            const Matrix4 first = fan.translated(x, end * s, end * c);
            const Matrix4 second = first * aboutX;
            sprites_.add(first.m, frame);
            sprites_.add(second.m, frame);
            sprites_.add((second * aboutY).m, frame);
        }
    }
}

// One fan: the spokes drawn, the stars added to the batch, both turned about x.
void VuMeter::fan(int n, int side, float turn, float starAngle, float crossing) {
    glPushMatrix();
    glRotatef(turn, 1, 0, 0);
    spokeFan(n, side);
    spriteStars(n, side, starAngle, crossing);
    glPopMatrix();
}

void VuMeter::draw(int levelLeft, int levelRight, int vuSpokes) {
    if (!waveform || !settings_.vumOnOff) return;
    const float a = frame_.angleLeft, b = frame_.angleRight;
    glPushMatrix();
    beginOverlay();
    glNormal3f(0, -1, 0);
    const float* diffuse = lights_.scaledColours + 3;
    const float colour[4] = {0.2f * diffuse[0], 0.2f * diffuse[1], 0.2f * diffuse[2], 1};
    const float normal[3] = {0, -1, 0};
    glColor4fv(colour);
    // The spokes are drawn as they come, untextured; the stars are gathered and drawn at the
    // end in one batch (the blending adds, so the order does not change the picture).
    glDisable(GL_TEXTURE_2D);
    sprites_.begin(lights_.dimOutlines, colour, normal);

    const VuMeterType type = settings_.vumType.value();
    if (type == VuMeterType::SingleFixedPoint) {
        glTranslatef(0, -15, -20);
        glRotatef(90, 0, 1, 0);
        fan(vuSpokes, -1, -a - b, b, 90);
    } else if (type == VuMeterType::DoubleFixedPoint) {
        glPushMatrix();
        glTranslatef(15, -15, -20);
        glRotatef(90, 0, 1, 0);
        fan(levelLeft / 2, -1, -a - b, b, 90);
        glPopMatrix();
        glPushMatrix();
        glTranslatef(-15, -15, -20);
        glRotatef(-90, 0, 1, 0);
        fan(levelRight / 2, 1, b + a, b, -90);
        glPopMatrix();
    } else if (type == VuMeterType::Beam) {
        const int left = levelLeft / 2, right = levelRight / 2;
        glTranslatef(0, -8, 0);
        glRotatef(a, 1, 0, 0);
        glRotatef(a, 0, 1, 0);
        glRotatef(a, 0, 0, 1);
        glTranslatef(0, 0, 5);
        glRotatef(b, 1, 0, 0);
        glRotatef(b, 0, 1, 0);
        glRotatef(b, 0, 0, 1);
        glPushMatrix();
        glRotatef(a, 1, 0, 0);
        spokeFan(left, 1);
        spriteStars(left, 1, a, 90);
        glPopMatrix();
        glPushMatrix();
        glRotatef(b, 1, 0, 0);
        spokeFan(right, -1);
        spriteStars(right, -1, b, 90);
        glPopMatrix();
    }

    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, lights_.pulsarTexture);
    sprites_.draw();
    endOverlay();
    glPopMatrix();
}
