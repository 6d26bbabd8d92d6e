#pragma once
// The blend of a timed change of look: the last picture of the old look, copied into a texture
// as the change comes, fades out over the new one in a second, one blended quad over the whole
// picture a frame while it lasts. OpenGL 1.1 textures have power-of-two sides: the copy goes
// into the smallest that holds the picture (and is skipped, leaving a hard cut, where that is
// larger than the driver allows).

#include "platform/GlHeaders.h"

class LookBlend {
public:
    static constexpr double kSeconds = 1.0;

    // Makes the texture for the viewport's size ahead of a capture (nothing when it is made);
    // whether there is one.
    bool prepare();
    // Copies the picture drawn so far (the viewport) into the texture; whether it could.
    bool capture();
    // Starts the fade of the captured picture at now (nothing without a capture).
    void start(double now);
    void stop() { from_ = -1; }
    bool active(double now) const { return from_ >= 0 && now - from_ < kSeconds; }
    // Draws the old picture over the new one while the fade lasts, opaque at its start and gone
    // at its end; it leaves the OpenGL state as it found it.
    void draw(double now);
    // Deletes the texture (the rendering context must be current).
    void release();

private:
    // Binds the texture that holds a picture of the size, made at that size when it is not;
    // false when the driver cannot hold one.
    bool bindTexture(int width, int height);

    GLuint texture_ = 0;
    int textureWidth_ = 0, textureHeight_ = 0;  // powers of two
    int width_ = 0, height_ = 0;                // the picture in it
    bool captured_ = false;
    double from_ = -1;
};
