#include "scene/Lights.h"

#include "readers/TgaImage.h"
#include "settings/Settings.h"

namespace {

const float kRestLeft[4] = {15, -15, 0, 1};
const float kRestRight[4] = {-15, -15, 0, 1};
const float kFixedLeft[4] = {15, -5, 10, 1};  // the rest positions moved by (0, 10, 10)
const float kFixedRight[4] = {-15, -5, 10, 1};
const float kMaterialSpecular[4] = {1, 1, 1, 1};

// The circling of a light or pulsar with its spin angle; side is +1 for the left, -1 for the
// right one.
void rotateToOrbit(float angle, float side) {
    glRotatef(angle, side, 0, 0);
    glRotatef(angle, 0, 0, -1);
    glRotatef(angle, 0, -1, 0);
}

}  // namespace

void Lights::setLight(GLenum light, const float* specular, const float* position) {
    float ambient[4] = {scaledColours[0], scaledColours[1], scaledColours[2], 1};
    float diffuse[4] = {scaledColours[3], scaledColours[4], scaledColours[5], 1};
    float specularRgba[4] = {specular[0], specular[1], specular[2], 1};
    glLightfv(light, GL_AMBIENT, ambient);
    glLightfv(light, GL_DIFFUSE, diffuse);
    glLightfv(light, GL_SPECULAR, specularRgba);
    glLightfv(light, GL_POSITION, position);
}

void Lights::setUp() {
    release();
    outlineSprites(TgaImage{});
    setLight(GL_LIGHT0, scaledColours + 6, kRestLeft);
    glEnable(GL_LIGHT0);
    setLight(GL_LIGHT1, scaledColours + 9, kRestRight);
    glEnable(GL_LIGHT1);

    glEnable(GL_LIGHTING);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    glMaterialfv(GL_FRONT, GL_SPECULAR, kMaterialSpecular);
    glMaterialf(GL_FRONT, GL_SHININESS, 16);
    glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, GL_FALSE);
}

void Lights::outlineSprites(const TgaImage& sheet) {
    ::outlineSprites(sheet, spriteOutlines);
    outlineDimSprites(sheet, dimOutlines);
    for (int i = 0; i < kSpriteFrames; ++i) {
        if (!spriteLists[i]) spriteLists[i] = glGenLists(1);
        glNewList(spriteLists[i], GL_COMPILE);
        if (!spriteOutlines[i].blank) {
            SpriteFrame f = spriteFrame(i);
            clipToOutline(spriteOutlines[i]);
            glBegin(GL_TRIANGLE_STRIP);
            glTexCoord2f(f.s0, f.t1);
            glVertex3f(8, -8, 0);
            glTexCoord2f(f.s0, f.t0);
            glVertex3f(8, 8, 0);
            glTexCoord2f(f.s1, f.t1);
            glVertex3f(-8, -8, 0);
            glTexCoord2f(f.s1, f.t0);
            glVertex3f(-8, 8, 0);
            glEnd();
        }
        glEndList();
    }
}

void Lights::release() {
    for (GLuint& list : spriteLists) {
        if (list) glDeleteLists(list, 1);
        list = 0;
    }
}

void Lights::scaleColours(float loudness) {
    const Rgb* colours[4] = {&settings_.ambientRgb, &settings_.diffuseRgb,
                             &settings_.specularLeftRgb, &settings_.specularRightRgb};
    for (int i = 0; i < 4; ++i) {
        scaledColours[i * 3] = loudness * colours[i]->r;
        scaledColours[i * 3 + 1] = loudness * colours[i]->g;
        scaledColours[i * 3 + 2] = loudness * colours[i]->b;
    }
}

void Lights::placeLights(float angleLeft, float angleRight) {
    const bool rotate = settings_.lhtRotate == 1;
    glPushMatrix();
    if (rotate) rotateToOrbit(angleLeft, 1);
    setLight(GL_LIGHT0, scaledColours + 6, rotate ? kRestLeft : kFixedLeft);
    glPopMatrix();
    glPushMatrix();
    if (rotate) rotateToOrbit(angleRight, -1);
    setLight(GL_LIGHT1, scaledColours + 9, rotate ? kRestRight : kFixedRight);
    glPopMatrix();
}

bool Lights::strobeDark(float loudness) {
    // Positions beyond "Always" (10) count as "Always".
    long position = settings_.lhtStroboscope > 10 ? 10 : static_cast<long>(settings_.lhtStroboscope);
    double threshold = static_cast<double>(10 - position) * static_cast<double>(0.1f);
    if (threshold < loudness && !wasDark) {
        glFlush();
        wasDark = true;
        return true;
    }
    wasDark = false;
    return false;
}

void Lights::drawPulsars(int spriteFrameLeft, int spriteFrameRight, float angleLeft,
                         float angleRight) {
    if (settings_.lhtOnOff != 1) return;
    const bool rotate = settings_.lhtRotate == 1;
    glDepthMask(GL_FALSE);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, pulsarTexture);
    enableSpriteClipping(true);

    struct Pulsar {
        float angle, side;
        const float* fixed;
        const float* rest;
        const Rgb& colour;
        int frame;
    } pulsars[2] = {
        {angleLeft, 1, kFixedLeft, kRestLeft, settings_.specularLeftRgb, spriteFrameLeft},
        {angleRight, -1, kFixedRight, kRestRight, settings_.specularRightRgb, spriteFrameRight},
    };
    for (const Pulsar& p : pulsars) {
        glPushMatrix();
        if (rotate) {
            rotateToOrbit(p.angle, p.side);
            glTranslatef(p.rest[0], p.rest[1], p.rest[2]);
            // Spin the sprite about its own centre with the same angle.
            glRotatef(p.angle, 0, 1, 0);
            glRotatef(p.angle, 0, 0, 1);
            glRotatef(p.angle, -p.side, 0, 0);
        } else {
            glTranslatef(p.fixed[0], p.fixed[1], p.fixed[2]);
            glScalef(1.5f, 1.5f, 1.5f);
        }
        glColor3f(p.colour.r, p.colour.g, p.colour.b);
        int frame = p.frame < 0 ? 0 : p.frame >= kSpriteFrames ? kSpriteFrames - 1 : p.frame;
        glCallList(spriteLists[frame]);
        glPopMatrix();
    }

    enableSpriteClipping(false);
    glDisable(GL_BLEND);
    glEnable(GL_LIGHTING);
    glDepthMask(GL_TRUE);
}
