#pragma once
// The plug-in's own texture set, painted by code: every picture is a pure function of nothing,
// the same bytes on every run. Sides are powers of two, as OpenGL 1.1 requires.

#include <cstdint>
#include <string>
#include <vector>

#include "tools/texgen/Image.h"

// The flare sprite sheet: cells of kPulsarCell x kPulsarCell pixels, kPulsarColumns to a row,
// frame i in column i % kPulsarColumns and row i / kPulsarColumns counted from the top. The glow
// grows and brightens from frame 0 to the last; alpha equals brightness; every pixel outside
// the frames and on the outer rows and columns of each cell is black.
inline constexpr int kPulsarCell = 64;
inline constexpr int kPulsarColumns = 4;
inline constexpr int kPulsarFrames = 10;
Image makePulsarSheet();  // 256 x 256 RGBA

// Brightness (0 up, unbounded) of the flare of frame t (0 smallest .. 1 largest) at (dx, dy)
// pixels from its centre, before exposure; nothing beyond 28 pixels.
float pulsarFlare(float t, float dx, float dy);

Image makeLoadingPicture();  // 256 x 128 RGB: the product name and "loading..."

// Tiling textures (seamless under GL_REPEAT), RGB.
Image makeGlassTexture();    // 256 x 256 streaky highlights on blue-grey
Image makeStripedTexture();  // 128 x 128 bold diagonal stripes
Image makeCheckedTexture();  // 128 x 128 shaded 8 x 8 checkerboard
Image makeWaterTexture();    // 256 x 256 blue and cyan caustics

struct NamedTexture {
    std::string fileName;
    Image image;
};

// The whole set, under the file names the plug-in loads.
std::vector<NamedTexture> makeTextureSet();

// An uncompressed true-colour TGA file (type 2, 24 or 32 bits, bottom row first).
std::vector<uint8_t> encodeTga(const Image& image);

// Writes bytes to a file, replacing one of the same name. On failure returns false with the
// reason in error.
bool writeBinaryFile(const std::string& path, const std::vector<uint8_t>& bytes,
                     std::string& error);

// Writes every picture of the set as a TGA file into an existing folder, overwriting files of
// the same names. On failure returns false with the reason in error.
bool writeTextureSet(const std::string& folder, std::string& error);
