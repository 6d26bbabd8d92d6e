#pragma once
// A picture in memory and the colour arithmetic the texture art is painted with.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

struct Image {
    int width = 0;
    int height = 0;
    int channels = 0;             // 3 (RGB) or 4 (RGBA)
    std::vector<uint8_t> pixels;  // red, green, blue (, alpha) per pixel, the top row first

    Image() = default;
    Image(int w, int h, int c)
        : width(w), height(h), channels(c), pixels(static_cast<size_t>(w) * h * c, 0) {}

    uint8_t* at(int x, int y) { return &pixels[(static_cast<size_t>(y) * width + x) * channels]; }
    const uint8_t* at(int x, int y) const {
        return &pixels[(static_cast<size_t>(y) * width + x) * channels];
    }
};

// A linear colour, each channel nominally 0..1.
struct Colour {
    float r = 0, g = 0, b = 0;
};

inline Colour operator+(Colour a, Colour b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Colour operator*(Colour a, float k) { return {a.r * k, a.g * k, a.b * k}; }
inline Colour operator*(Colour a, Colour b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
inline Colour mix(Colour a, Colour b, float t) { return a * (1 - t) + b * t; }

// 0..255 with 0..255 mapped from 0..1, rounded, out-of-range values clamped.
inline uint8_t toByte(float v) {
    return static_cast<uint8_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f);
}

inline Colour rgb(int r, int g, int b) { return {r / 255.0f, g / 255.0f, b / 255.0f}; }

inline void putColour(Image& image, int x, int y, Colour c) {
    uint8_t* p = image.at(x, y);
    p[0] = toByte(c.r);
    p[1] = toByte(c.g);
    p[2] = toByte(c.b);
}
