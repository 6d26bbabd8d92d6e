#pragma once
// Uncompressed true-colour TGA images (24 or 32 bits per pixel), the only kind the plug-in
// reads.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Results of readTga.
enum TgaStatus : int {
    kTgaOk = 0,
    kTgaCannotOpen = 1,
    kTgaNotTrueColour = 2,  // colour-mapped, grey-scale or run-length encoded
    kTgaBadDepth = 4,       // not 24 or 32 bits per pixel
    kTgaNoPixels = 5,       // pixel data cannot be allocated or is shorter than announced
};

struct TgaImage {
    unsigned channels = 3;  // red, green, blue, and alpha when 4
    unsigned width = 0;
    unsigned height = 0;
    // Red, green, blue (, alpha) per pixel, the bottom row of the picture first.
    std::vector<uint8_t> pixels;
};

// Reads the file at path (relative to the current directory or absolute) into image. Whatever
// the image held before is dropped; unless the result is kTgaOk it has no pixels and a width and
// height of 0.
int readTga(const std::string& path, TgaImage& image);

// The same from an open stream, read from where it stands (kTgaCannotOpen when it is null).
int readTga(std::FILE* stream, TgaImage& image);
