#pragma once
// The pulsar sheet: a 4 x 4 grid of glow sprites in one texture, of which the first ten cells
// are the frames drawn by the pulsars, the VU meter and the oscilloscope's sprite modes.
//
// The sprites are drawn additively, so the black part of a cell adds nothing, yet it still
// costs a software renderer every pixel it covers. Each frame therefore gets an outline: six
// clip planes that cut away only the part of the sprite whose texture samples are all black.
// Clipping (rather than drawing a smaller quad) keeps the lit vertex colours exactly as they
// were: the clipped corners take colours interpolated from the original corners.

#include <cstdint>

struct TgaImage;

inline constexpr int kSpriteFrames = 10;
inline constexpr int kSpriteClipPlanes = 6;

// One cell of the sheet in texture coordinates: frame i is column i mod 4 from s = 0 and row
// i div 4 from t = 1.
struct SpriteFrame {
    float s0, s1, t0, t1;
};

inline SpriteFrame spriteFrame(int index) {
    SpriteFrame f;
    f.s0 = 0.25f * static_cast<float>(index % 4);
    f.s1 = f.s0 + 0.25f;
    f.t1 = 1 - 0.25f * static_cast<float>(index / 4);
    f.t0 = f.t1 - 0.25f;
    return f;
}

// A sprite is the square from (-8, -8) to (8, 8) in its own x-y plane, with (s0, t1) at (8, -8)
// and (s1, t0) at (-8, 8). Its outline keeps the points where every plane gives a x + b y +
// c z + d >= 0, in those coordinates.
struct SpriteOutline {
    bool blank = false;  // the whole cell is black: the sprite adds nothing at all
    double planes[kSpriteClipPlanes][4] = {{0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1},
                                           {0, 0, 0, 1}, {0, 0, 0, 1}, {0, 0, 0, 1}};
};

// Each frame's outline in the sheet: what any texture sample inside it may read (with linear
// filtering, the texels around it, neighbouring cells included) is not all dark. A texel is
// dark when its colour is 0 or its alpha is 0 (the blend multiplies by alpha), or when its
// colour and alpha are each at most `dark` (0 .. 255). Without pixels (no sheet loaded) every
// outline keeps the whole square. The outline is a hexagon (six planes), or with `box` an
// axis-aligned box (four planes, the other two keep everything).
void outlineSprites(const TgaImage& sheet, SpriteOutline (&outlines)[kSpriteFrames], int dark = 0,
                    bool box = false);

// Tighter outlines for dim sprites, as boxes: cut on the CPU (SpriteBatch), a box leaves each
// of the square's two triangles one triangle, where a hexagon makes each a fan of three or
// four, and a renderer pays for every edge that crosses the sprite. A sprite drawn in a dim colour adds nothing to an 8-bit
// picture where its texture is dark enough: the product rounds to 0. Level k cuts away the
// texels of at most kSpriteDarkTexel[k]; a sprite whose colour is at most
// brightestUnseenColour(kSpriteDarkTexel[k]) in every channel may be cut to it. Level 0 is
// the plain outline.
inline constexpr int kSpriteDimLevels = 16;
inline constexpr int kSpriteDarkTexel[kSpriteDimLevels] = {0,  16, 20, 23, 26, 29, 32, 35,
                                                           38, 42, 46, 51, 56, 62, 75, 92};
void outlineDimSprites(const TgaImage& sheet, SpriteOutline (&levels)[kSpriteDimLevels][kSpriteFrames]);

// The brightest colour channel (0 .. 1) at which texels of at most `dark` add nothing to an
// 8-bit colour buffer when drawn additively with their alpha; unbounded for dark = 0.
float brightestUnseenColour(int dark);

// Loads an outline's planes for a sprite whose centre is at (x, y, z) in the current
// coordinates (the planes follow the modelview matrix at this call).
void clipToOutline(const SpriteOutline& outline, float x = 0, float y = 0, float z = 0);

// Enables (or disables) the six clip planes the outlines use.
void enableSpriteClipping(bool on);
