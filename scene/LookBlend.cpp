#include "scene/LookBlend.h"

namespace {

int powerOfTwoAtLeast(int size) {
    int p = 1;
    while (p < size && p < (1 << 30)) p <<= 1;
    return p;
}

}  // namespace

bool LookBlend::prepare() {
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    glPushAttrib(GL_TEXTURE_BIT);
    const bool made = bindTexture(viewport[2], viewport[3]);
    glPopAttrib();
    return made;
}

bool LookBlend::capture() {
    captured_ = false;
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    const int width = viewport[2], height = viewport[3];
    glPushAttrib(GL_TEXTURE_BIT);
    if (!bindTexture(width, height)) {
        glPopAttrib();
        return false;
    }
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, viewport[0], viewport[1], width, height);
    glPopAttrib();
    width_ = width;
    height_ = height;
    captured_ = true;
    return true;
}

bool LookBlend::bindTexture(int width, int height) {
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    const int textureWidth = powerOfTwoAtLeast(width), textureHeight = powerOfTwoAtLeast(height);
    if (width <= 0 || height <= 0 || textureWidth > largest || textureHeight > largest) return false;
    if (!texture_) glGenTextures(1, &texture_);
    glBindTexture(GL_TEXTURE_2D, texture_);
    if (textureWidth != textureWidth_ || textureHeight != textureHeight_) {
        // Made once for a size; each capture only copies into it.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, textureWidth, textureHeight, 0, GL_RGB,
                     GL_UNSIGNED_BYTE, nullptr);
        // A software renderer allocates the texture's memory at its first use: one pixel
        // copied now, so that the copy at the change does not pay for it.
        glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, 1, 1);
        textureWidth_ = textureWidth;
        textureHeight_ = textureHeight;
    }
    return true;
}

void LookBlend::start(double now) { from_ = captured_ ? now : -1; }

void LookBlend::draw(double now) {
    if (!active(now) || !texture_) return;
    const float alpha = static_cast<float>(1 - (now - from_) / kSeconds);
    const float s = static_cast<float>(width_) / textureWidth_, t = static_cast<float>(height_) / textureHeight_;
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_FOG);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBindTexture(GL_TEXTURE_2D, texture_);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glColor4f(1, 1, 1, alpha);
    // One quad: the single draw of the blend.
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(0, 0);
    glTexCoord2f(s, 0);
    glVertex2f(1, 0);
    glTexCoord2f(s, t);
    glVertex2f(1, 1);
    glTexCoord2f(0, t);
    glVertex2f(0, 1);
    glEnd();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}

void LookBlend::release() {
    if (texture_) glDeleteTextures(1, &texture_);
    texture_ = 0;
    textureWidth_ = textureHeight_ = 0;
    captured_ = false;
    from_ = -1;
}
