#include "tools/texgen/PixelFont.h"

#include <cmath>
#include <cstring>

int textWidth(const char* text, int scale) {
    int n = static_cast<int>(std::strlen(text));
    return n == 0 ? 0 : (n * (kGlyphWidth + 1) - 1) * scale;
}

bool stampText(Mask& mask, const char* text, int left, int top, int scale) {
    bool complete = true;
    for (int i = 0; text[i] != '\0'; ++i) {
        const char* const* rows = glyphRows(text[i]);
        if (!rows) {
            complete = false;
            continue;
        }
        int glyphLeft = left + i * (kGlyphWidth + 1) * scale;
        for (int gy = 0; gy < kGlyphHeight; ++gy) {
            for (int gx = 0; gx < kGlyphWidth; ++gx) {
                if (rows[gy][gx] != '#') continue;
                for (int y = top + gy * scale; y < top + (gy + 1) * scale; ++y) {
                    for (int x = glyphLeft + gx * scale; x < glyphLeft + (gx + 1) * scale; ++x) {
                        if (x >= 0 && y >= 0 && x < mask.width && y < mask.height) {
                            mask.cover[static_cast<size_t>(y) * mask.width + x] = 1;
                        }
                    }
                }
            }
        }
    }
    return complete;
}

Mask blurred(const Mask& mask, float radius) {
    int reach = static_cast<int>(std::ceil(radius * 3));
    std::vector<float> kernel(2 * reach + 1);
    float total = 0;
    for (int i = -reach; i <= reach; ++i) {
        kernel[i + reach] = std::exp(-0.5f * (i * i) / (radius * radius));
        total += kernel[i + reach];
    }
    for (float& k : kernel) k /= total;

    Mask across(mask.width, mask.height), out(mask.width, mask.height);
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            float sum = 0;
            for (int i = -reach; i <= reach; ++i) sum += mask.at(x + i, y) * kernel[i + reach];
            across.cover[static_cast<size_t>(y) * mask.width + x] = sum;
        }
    }
    for (int y = 0; y < mask.height; ++y) {
        for (int x = 0; x < mask.width; ++x) {
            float sum = 0;
            for (int i = -reach; i <= reach; ++i) sum += across.at(x, y + i) * kernel[i + reach];
            out.cover[static_cast<size_t>(y) * mask.width + x] = sum;
        }
    }
    return out;
}
