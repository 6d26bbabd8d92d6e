#pragma once
// The oscilloscope surface: a 50 x 50 patch in the x-z plane cut into a grid whose heights and
// colours follow the waveform every frame, drawn as a mesh (plain, striped, checked, water,
// wireframe) or as a field of sprites (explosion, smoke).

#include <cstdint>
#include <memory>
#include <string>

#include "platform/GlHeaders.h"
#include "sprites/SpriteBatch.h"
#include "settings/Choices.h"

class GlExtensions;
class Settings;

inline constexpr int kOscilloscopeSamples = 576;

// One vertex as OpenGL reads it from the interleaved arrays: 16 floats, a stride of 64 bytes.
struct SurfaceVertex {
    float position[4];  // x, y, z, w
    float normal[4];
    float colour[4];    // r, g, b, a
    float texture[4];   // s, t and two unused
};
static_assert(sizeof(SurfaceVertex) == 64, "the vertex arrays use a stride of 64 bytes");

class Oscilloscope {
public:
    // lightColours: the lights' loudness-scaled colours (ambient, diffuse, specular left and
    // right, red, green, blue each), read at every frame.
    Oscilloscope(const Settings& settings, const float (&lightColours)[12],
                 const GlExtensions& extensions);

    // Builds the grid and its arrays; false when an allocation failed (the arrays made before
    // stay, the others are null).
    bool buildGrid(int columns, int rows);
    void releaseGrid();

    // Keeps the waveform to read and rebuilds the grid when the sampling-rate setting changed.
    void applySamplingRate(const uint8_t (*waveform)[kOscilloscopeSamples]);

    // Sets the heights and colours from the waveform, then draws the surface. Leaves blending
    // off, depth writes on and the matrices as they were.
    void render(float loudness, float swayAngle);

    // Heights and colours only (the first half of render).
    void updateSurface(float loudness);

    // Frees the grid and switches the client arrays off (the context must be current).
    void release();

    bool hasGrid() const { return vertices && history && indices && columns && rows; }
    int vertexCount() const { return columns * rows; }

    std::unique_ptr<float[]> sineWeights;
    std::unique_ptr<float[]> cosineWeights;
    int columns = 0;
    int rows = 0;
    std::unique_ptr<SurfaceVertex[]> vertices;
    std::unique_ptr<SurfaceVertex[]> history;
    std::unique_ptr<uint32_t[]> indices;
    float textureOffset[3] = {0, 0, 0};
    SamplingRate currentSamplingRate{-1, -1};  // none yet: the first rate always applies
    const uint8_t (*waveform)[kOscilloscopeSamples] = nullptr;
    GLuint pulsarTexture = 0;
    // The outlines of the pulsar sheet's frames at every dim level, or none: whole squares.
    const SpriteOutline (*spriteOutlines)[kSpriteDimLevels][kSpriteFrames] = nullptr;
    GLuint stripedTexture = 0;
    GLuint checkedTexture = 0;
    GLuint waterTexture = 0;

private:
    void updateWaveform(float loudness, const float* diffuse);
    void updateFiltered(const float* diffuse);
    void drawSprites(bool smoke);
    void drawMesh(RenderingMode mode);

    const Settings& settings_;
    const float (&lightColours_)[12];
    const GlExtensions& extensions_;
    // A sprite at every point of the largest grid (40 x 40).
    SpriteBatch sprites_{40 * 40};
    SpriteOutline wholeSquares_[kSpriteDimLevels][kSpriteFrames];
};
