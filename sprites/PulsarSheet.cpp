#include "sprites/PulsarSheet.h"

#include <algorithm>
#include <cmath>

#include "platform/GlHeaders.h"
#include "readers/TgaImage.h"

namespace {

// The outline's plane normals in the cell's texel coordinates: six directions 60 degrees
// apart, so that the outline is a hexagon around a round glow (cheaper than a box by a
// sixth, and the axis spikes of our glows end at its corners).
const double kNormals[kSpriteClipPlanes][2] = {
    {1, 0}, {0.5, 0.8660254037844386}, {-0.5, 0.8660254037844386},
    {-1, 0}, {-0.5, -0.8660254037844386}, {0.5, -0.8660254037844386}};

// A box's four: with the square's diagonal through its corners, each of the square's two
// triangles cut to a (centred) box stays a single triangle.
const double kBoxNormals[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};

// The shallowest cut, in sprite units (the square is 16 across), that a plane is kept for.
constexpr double kShallowestCut = 2;

// Whether a texel adds nothing (black, or alpha 0), or is at most `dark` in colour and alpha.
bool darkTexel(const TgaImage& sheet, unsigned x, unsigned y, int dark) {
    const size_t channels = sheet.channels;
    const uint8_t* p = sheet.pixels.data() + (static_cast<size_t>(y) * sheet.width + x) * channels;
    if ((p[0] == 0 && p[1] == 0 && p[2] == 0) || (channels == 4 && p[3] == 0)) return true;
    return p[0] <= dark && p[1] <= dark && p[2] <= dark && (channels == 3 || p[3] <= dark);
}

SpriteOutline outlineFrame(const TgaImage& sheet, int index, int dark, bool box) {
    const double (*normals)[2] = box ? kBoxNormals : kNormals;
    const int planes = box ? 4 : kSpriteClipPlanes;
    const SpriteFrame f = spriteFrame(index);
    const double width = sheet.width, height = sheet.height;
    // The cell in texel units: a texel's centre is at (x + 0.5, y + 0.5).
    const double left = f.s0 * width, right = f.s1 * width;
    const double bottom = f.t0 * height, top = f.t1 * height;
    const double cellWidth = right - left, cellHeight = top - bottom;

    // A linear sample at u reads the two texels whose centres lie within one texel of it, so
    // a texel can show wherever u is less than one texel from its centre: a square of
    // half-side 1 (in each axis's texels) around it. The planes hold every such square that
    // overlaps the cell.
    double reach[kSpriteClipPlanes];
    std::fill(reach, reach + kSpriteClipPlanes, -HUGE_VAL);
    const long x0 = std::max(0L, static_cast<long>(std::floor(left)) - 1);
    const long x1 = std::min(static_cast<long>(sheet.width) - 1, static_cast<long>(std::ceil(right)));
    const long y0 = std::max(0L, static_cast<long>(std::floor(bottom)) - 1);
    const long y1 = std::min(static_cast<long>(sheet.height) - 1, static_cast<long>(std::ceil(top)));
    bool any = false;
    for (long y = y0; y <= y1; ++y) {
        for (long x = x0; x <= x1; ++x) {
            if (darkTexel(sheet, static_cast<unsigned>(x), static_cast<unsigned>(y), dark)) continue;
            // The texel's centre in the cell as a fraction of the cell, and the square's
            // half-sides in those units.
            const double a = (x + 0.5 - left) / cellWidth, b = (y + 0.5 - bottom) / cellHeight;
            const double ha = 1 / cellWidth, hb = 1 / cellHeight;
            if (a + ha <= 0 || a - ha >= 1 || b + hb <= 0 || b - hb >= 1) continue;
            any = true;
            for (int k = 0; k < planes; ++k) {
                const double* n = normals[k];
                reach[k] = std::max(reach[k], n[0] * a + n[1] * b + std::fabs(n[0]) * ha +
                                                  std::fabs(n[1]) * hb);
            }
        }
    }

    SpriteOutline outline;
    if (!any) {
        outline.blank = true;
        return outline;
    }
    // In the sprite's square a = (8 - x) / 16 and b = (8 - y) / 16; the plane
    // n.(a, b) <= reach becomes (n0 x + n1 y) / 16 + reach - (n0 + n1) / 2 >= 0. A
    // little slack keeps rounding in the clipper from shaving an edge texel.
    const double slack = 1e-3;
    for (int k = 0; k < planes; ++k) {
        const double* n = normals[k];
        const double d = reach[k] + slack - (n[0] + n[1]) / 2;
        // How deep (in sprite units) the plane cuts into the square at its farthest corner. A
        // shallow cut saves little and leaves thin slivers, whose interpolated values a
        // rasterizer gets wrong; such a plane keeps everything instead.
        const double depth = 8 * (std::fabs(n[0]) + std::fabs(n[1])) - 16 * d;
        if (depth < kShallowestCut) continue;
        double* p = outline.planes[k];
        p[0] = n[0] / 16;
        p[1] = n[1] / 16;
        p[2] = 0;
        p[3] = d;
    }
    return outline;
}

}  // namespace

void outlineSprites(const TgaImage& sheet, SpriteOutline (&outlines)[kSpriteFrames], int dark,
                    bool box) {
    const size_t channels = sheet.channels;
    const bool usable = sheet.width >= 4 && sheet.height >= 4 &&
                        sheet.pixels.size() >= static_cast<size_t>(sheet.width) * sheet.height * channels;
    for (int i = 0; i < kSpriteFrames; ++i)
        outlines[i] = usable ? outlineFrame(sheet, i, dark, box) : SpriteOutline{};
}

void outlineDimSprites(const TgaImage& sheet, SpriteOutline (&levels)[kSpriteDimLevels][kSpriteFrames]) {
    for (int k = 0; k < kSpriteDimLevels; ++k) outlineSprites(sheet, levels[k], kSpriteDarkTexel[k], true);
}

float brightestUnseenColour(int dark) {
    if (dark <= 0) return HUGE_VALF;
    // A fragment adds the texture times the colour times the texture's alpha, each at most
    // t = dark / 255 in the cut-away part, to an 8-bit value. It leaves the value as it was
    // when what it adds rounds to 0, whichever way the renderer computes it; a margin of a
    // tenth of a step keeps clear of the rounding point.
    //  - In floating point: t * c * t * 255 < 0.45.
    //  - In 8-bit steps: the source s = round(t * c * 255), at most t * (255 c + 0.5) + 0.5
    //    with the colour itself rounded to a step, then round(s * alpha), which is 0 while
    //    s * t < 0.45: s may be at most ceil(0.45 / t) - 1.
    const double t = dark / 255.0;
    const double floating = 0.45 / (255 * t * t);
    const double steps = std::ceil(0.45 / t) - 1;
    const double eightBit = ((steps + 0.5) / t - 0.5) / 255;
    return static_cast<float>(std::max(0.0, std::min(floating, eightBit)));
}

void clipToOutline(const SpriteOutline& outline, float x, float y, float z) {
    for (int k = 0; k < kSpriteClipPlanes; ++k) {
        const double* p = outline.planes[k];
        const double moved[4] = {p[0], p[1], p[2], p[3] - p[0] * x - p[1] * y - p[2] * z};
        glClipPlane(GL_CLIP_PLANE0 + static_cast<GLenum>(k), moved);
    }
}

void enableSpriteClipping(bool on) {
    for (int k = 0; k < kSpriteClipPlanes; ++k) {
        if (on) glEnable(GL_CLIP_PLANE0 + static_cast<GLenum>(k));
        else glDisable(GL_CLIP_PLANE0 + static_cast<GLenum>(k));
    }
}
