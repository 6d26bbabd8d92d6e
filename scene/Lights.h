#pragma once
// The two coloured lights, their loudness-scaled colours and positions, the stroboscope and
// the glowing pulsar sprites drawn where the lights are. Also owns the ten sprite frames cut
// from the pulsar sheet, which other components draw too.

#include "platform/GlHeaders.h"
#include "sprites/PulsarSheet.h"

class Settings;
struct TgaImage;


class Lights {
public:
    explicit Lights(const Settings& settings) : settings_(settings) {}

    // Sprite display lists, light parameters and lighting state; once per start.
    void setUp();

    // Cuts the sprite frames' outlines from the pulsar sheet's pixels and (re)builds their
    // display lists; an empty image gives whole squares.
    void outlineSprites(const TgaImage& sheet);

    // Deletes the display lists (the context must be current).
    void release();

    // The configured colours times loudness (0.1 .. 1).
    void scaleColours(float loudness);

    // Places both lights, circling with the spin angles when lhtRotate is 1.
    void placeLights(float angleLeft, float angleRight);

    // Whether the stroboscope blanks this frame; never two frames in a row.
    bool strobeDark(float loudness);

    // The pulsar sprites at the lights, when lhtOnOff is 1. Leaves the fixed state behind.
    void drawPulsars(int spriteFrameLeft, int spriteFrameRight, float angleLeft,
                     float angleRight);

    bool wasDark = false;
    // Ambient, diffuse, specular-left and specular-right colour, red, green, blue each.
    float scaledColours[12] = {};
    GLuint pulsarTexture = 0;
    // Each sprite frame's display list sets its outline's clip planes, then draws the square;
    // drawers enable the planes around them (enableSpriteClipping).
    GLuint spriteLists[kSpriteFrames] = {};
    SpriteOutline spriteOutlines[kSpriteFrames];
    // The box outlines of every dim level, for sprite batches (the VU meter's and the
    // oscilloscope's sprites).
    SpriteOutline dimOutlines[kSpriteDimLevels][kSpriteFrames];

private:
    void setLight(GLenum light, const float* specular, const float* position);

    const Settings& settings_;
};
