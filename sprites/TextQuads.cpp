#include "sprites/TextQuads.h"

#include <cctype>

#include "sprites/PixelFont.h"

float appendTextQuads(const std::string& text, float left, float top, float scale,
                      std::vector<float>& corners) {
    float x = left;
    for (char c : text) {
        const char* const* rows = glyphRows(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
        if (rows) {
            for (int gy = 0; gy < kGlyphHeight; ++gy)
                for (int gx = 0; gx < kGlyphWidth; ++gx) {
                    if (rows[gy][gx] != '#') continue;
                    const float x0 = x + gx * scale, y0 = top + gy * scale;
                    const float x1 = x0 + scale, y1 = y0 + scale;
                    corners.insert(corners.end(), {x0, y0, x1, y0, x1, y1, x0, y1});
                }
        }
        x += (kGlyphWidth + 1) * scale;
    }
    return text.empty() ? 0 : x - left - scale;
}

float textWidth(const std::string& text, float scale) {
    return text.empty() ? 0 : static_cast<float>(text.size()) * (kGlyphWidth + 1) * scale - scale;
}
