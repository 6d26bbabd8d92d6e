#pragma once
// Text stamped into the generated pictures with the tiny bitmap font (sprites/PixelFont.h).

#include <cstddef>
#include <vector>

#include "sprites/PixelFont.h"

// A coverage mask (1 = ink) of width x height into which text is stamped.
struct Mask {
    int width = 0;
    int height = 0;
    std::vector<float> cover;

    Mask(int w, int h) : width(w), height(h), cover(static_cast<size_t>(w) * h, 0.0f) {}
    float at(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return 0;
        return cover[static_cast<size_t>(y) * width + x];
    }
};

// The width in pixels of text drawn with each font pixel scale x scale and one font pixel
// between characters.
int textWidth(const char* text, int scale);

// Stamps text with its top-left corner at (left, top); returns false if a character has no
// glyph (nothing is drawn for it).
bool stampText(Mask& mask, const char* text, int left, int top, int scale);

// The mask blurred by a Gaussian of the given radius (standard deviation in pixels).
Mask blurred(const Mask& mask, float radius);
