#pragma once
// Many pulsar sprites sent to OpenGL as one vertex array.
//
// Each sprite is the square of the sheet's frame (see PulsarSheet.h) under the modelview matrix
// it is added with, drawn as the two triangles of a strip through its corners (8, -8), (8, 8),
// (-8, -8), (-8, 8), each cut to the frame's outline. The colours of a lit sprite are
// interpolated across each triangle, so the diagonal shows; a quad through (8, -8), (8, 8),
// (-8, 8), (-8, -8) drawn with clip planes on is split along the same diagonal.
//
// Drawn one by one, every sprite costs a draw call, a matrix and six clip planes. Here the
// cutting is done once per frame of the sheet, in the sprite's own plane, the corners are
// transformed and lit on the CPU (FixedLighting), and the cut points take the corners'
// interpolated colours and texture coordinates, as the clipper would have given them: the same
// picture, with one draw call for the batch. Knowing each sprite's lit colour, the batch also
// cuts a dim sprite to the tighter outline of its brightness (outlineDimSprites), leaving out
// pixels that would each have added nothing.

#include <memory>

#include "sprites/FixedLighting.h"
#include "sprites/PulsarSheet.h"

class SpriteBatch {
public:
    // Room for this many sprites; allocated here, once (no room when that fails).
    explicit SpriteBatch(int capacity);

    // Starts a batch of sprites cut to these outlines (each sprite to the tightest level its
    // lit colour allows), taking the current colour colour[4] and the object-space normal
    // normal[3], as glColor and glNormal would.
    void begin(const SpriteOutline (&levels)[kSpriteDimLevels][kSpriteFrames],
               const float colour[4], const float normal[3]);

    // A sprite of the frame (0 .. 9) under the modelview matrix m (column-major, as OpenGL
    // keeps it). Beyond the capacity, sprites are left out.
    void add(const float m[16], int frame);

    // Lights and draws the batch's sprites with the texture bound and the blending, depth and
    // culling state as they are; then leaves the lighting, matrices and current colour as
    // they were, and the client arrays off.
    void draw();

    int sprites() const { return count_; }
    // Sprites of the last draw() cut to each dim level.
    int spritesAtLevel(int level) const { return level >= 0 && level < kSpriteDimLevels ? atLevel_[level] : 0; }
    // Vertices (three per triangle) the last draw() sent.
    int vertices() const { return drawn_; }

    // The most vertices one sprite can take: each triangle cut by six planes is a polygon of
    // at most nine corners, a fan of seven triangles.
    static constexpr int kMaxVerticesPerSprite = 2 * 7 * 3;

private:
    struct Vertex {
        float position[3];
        float colour[4];
        float texture[2];
    };
    // A point of a sprite as weights of its four corners.
    struct Weights {
        float w[4];
    };
    struct FrameShape {
        int vertexCount = 0;  // three per triangle
        Weights points[kMaxVerticesPerSprite];
        float texture[kMaxVerticesPerSprite][2];
    };
    static void cutFrame(FrameShape& shape, int frame, const SpriteOutline& outline);

    int capacity_;
    int count_ = 0, drawn_ = 0;
    int atLevel_[kSpriteDimLevels] = {};
    float brightest_[kSpriteDimLevels] = {};  // the brightest colour channel each level takes
    float colour_[4] = {1, 1, 1, 1};
    float normal_[3] = {0, 0, 1};
    std::unique_ptr<float[]> matrices_;  // 16 per sprite
    std::unique_ptr<unsigned char[]> frames_;
    std::unique_ptr<Vertex[]> vertices_;
    FrameShape shapes_[kSpriteDimLevels][kSpriteFrames];
    // The outlines the shapes were cut from: they change only when the sheet is loaded again.
    SpriteOutline cutFrom_[kSpriteDimLevels][kSpriteFrames];
    bool cut_ = false;
    FixedLighting lighting_;
};
