// The six pictures of the texture set.

#include "tools/texgen/TextureArt.h"

#include <cmath>

#include "tools/texgen/PixelFont.h"
#include "tools/texgen/Procedural.h"

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kTau = 2 * kPi;

// Soft exposure: linear near black, saturating smoothly towards 1.
float expose(float v) { return 1 - std::exp(-v); }

}  // namespace

float pulsarFlare(float t, float dx, float dy) {
    float r = std::hypot(dx, dy);
    float reach = 10 + 18 * t;  // nothing beyond this radius, well inside the 32-pixel half cell
    if (r >= reach) return 0;

    float coreSize = 1.4f + 3.0f * t;
    float core = 2.2f * std::exp(-(r * r) / (coreSize * coreSize));
    float haloSize = 2.2f + 5.0f * t;
    float glowSize = 4 + 9 * t;
    float halo = 0.7f * std::exp(-r / haloSize) + 0.3f * std::exp(-(r * r) / (glowSize * glowSize));

    // Four long spikes along the axes and four shorter ones on the diagonals, thin and
    // fading with length; they appear as the flare grows.
    float spikeWidth = 0.55f + 0.45f * t;
    float spikeLength = 2 + 9 * t;
    auto spike = [&](float along, float across, float length) {
        return std::exp(-(across * across) / (spikeWidth * spikeWidth)) *
               std::exp(-std::fabs(along) / length);
    };
    float du = (dx + dy) * 0.70710678f, dv = (dx - dy) * 0.70710678f;
    float shortLength = 0.55f * spikeLength;
    float spikes = spike(dx, dy, spikeLength) + spike(dy, dx, spikeLength) +
                   0.45f * (spike(du, dv, shortLength) + spike(dv, du, shortLength));
    spikes *= 0.25f + 0.75f * smoothstep(0.1f, 0.8f, t);

    // A thin ring that opens around the bright frames.
    float ringRadius = 6 + 14 * t;
    float ring = 0.35f * smoothstep(0.4f, 1.0f, t) *
                 std::exp(-((r - ringRadius) * (r - ringRadius)) / 2.0f);

    float gain = 0.25f + 0.75f * std::pow(t, 0.8f);
    float fadeOut = 1 - smoothstep(0.55f * reach, reach, r);
    return (core + halo + spikes + ring) * gain * fadeOut;
}

Image makePulsarSheet() {
    Image image(kPulsarCell * kPulsarColumns, kPulsarCell * kPulsarColumns, 4);
    const float centre = kPulsarCell / 2.0f;
    for (int frame = 0; frame < kPulsarFrames; ++frame) {
        float t = frame / float(kPulsarFrames - 1);
        int left = (frame % kPulsarColumns) * kPulsarCell;
        int top = (frame / kPulsarColumns) * kPulsarCell;
        for (int y = 0; y < kPulsarCell; ++y) {
            for (int x = 0; x < kPulsarCell; ++x) {
                float v = expose(pulsarFlare(t, x + 0.5f - centre, y + 0.5f - centre));
                // Drawn additively with alpha = brightness, a texel adds about v * v of the draw
                // colour: below 16/255 that is under one step. Such texels are made black, so
                // that the glow ends sooner and the sprite outlines cut away more.
                if (v < 16.0f / 255.0f) v = 0;
                // White with a faint warmth in the hot core; the draw colour tints it.
                Colour c{v, v * (0.97f + 0.03f * v), v * (0.90f + 0.10f * v)};
                uint8_t* p = image.at(left + x, top + y);
                p[0] = toByte(c.r);
                p[1] = toByte(c.g);
                p[2] = toByte(c.b);
                p[3] = std::max(p[0], std::max(p[1], p[2]));
            }
        }
    }
    return image;
}

Image makeLoadingPicture() {
    const int width = 256, height = 128;
    const char* title = "VIZORAMA";
    const char* subtitle = "loading...";
    const int titleScale = 5, subtitleScale = 2;
    const int titleTop = 26, subtitleTop = 83;
    const int lineY = 72;

    Mask titleMask(width, height), subtitleMask(width, height);
    stampText(titleMask, title, (width - textWidth(title, titleScale)) / 2, titleTop, titleScale);
    stampText(subtitleMask, subtitle, (width - textWidth(subtitle, subtitleScale)) / 2,
              subtitleTop, subtitleScale);
    Mask titleGlow = blurred(titleMask, 6);
    Mask titleShadow = blurred(titleMask, 1.5f);
    Mask subtitleGlow = blurred(subtitleMask, 2);

    Image image(width, height, 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float u = (x + 0.5f) / width, v = (y + 0.5f) / height;

            // Night-sky gradient with a blue bloom behind the title and sparse faint stars.
            Colour c = mix(rgb(6, 8, 24), rgb(28, 10, 44), v);
            float bloomX = (u - 0.5f) / 0.45f, bloomY = (v - 0.36f) / 0.32f;
            c = c + rgb(20, 45, 95) * std::exp(-(bloomX * bloomX + bloomY * bloomY));
            float star = hashUnit(x, y, 7);
            if (star > 0.994f) c = c + rgb(90, 100, 130) * ((star - 0.994f) / 0.006f);

            // Dim spectrum bars along the bottom edge.
            int bar = x / 8;
            if (x % 8 < 6) {
                float level =
                    0.35f + 0.25f * std::sin(bar * 0.9f) + 0.2f * std::sin(bar * 2.3f + 1);
                float barTop = height - 4 - level * 26;
                if (y >= barTop && y < height - 3) {
                    float k = (height - 3 - y) / 26.0f;
                    c = c + mix(rgb(20, 60, 110), rgb(90, 30, 110), k) * 0.55f;
                }
            }

            // A glowing rule between the name and the subtitle.
            float ruleFade = 1 - smoothstep(0.2f, 0.36f, std::fabs(u - 0.5f));
            float rule = std::exp(-((y + 0.5f - lineY) * (y + 0.5f - lineY)) / 0.6f);
            c = c + rgb(120, 200, 255) * (rule * ruleFade * 0.8f);

            // The name: drop shadow, cyan glow, then letters shaded from ice to violet with a
            // bevel (lit top edges, dark bottom edges).
            c = c * (1 - 0.6f * titleShadow.at(x - 2, y - 2));
            c = c + rgb(40, 150, 255) * (0.9f * titleGlow.at(x, y));
            float ink = titleMask.at(x, y);
            if (ink > 0) {
                float k = (y - titleTop) / float(kCapHeight * titleScale);
                Colour face = mix(rgb(235, 250, 255), rgb(150, 110, 255), k);
                if (titleMask.at(x, y - 2) == 0) face = mix(face, rgb(255, 255, 255), 0.6f);
                if (titleMask.at(x, y + 2) == 0) face = face * 0.7f;
                if (titleMask.at(x - 1, y) == 0) face = mix(face, rgb(255, 255, 255), 0.3f);
                c = face;
            }

            c = c + rgb(60, 140, 220) * (0.6f * subtitleGlow.at(x, y));
            if (subtitleMask.at(x, y) > 0) c = rgb(200, 225, 245);

            putColour(image, x, y, c);
        }
    }
    return image;
}

Image makeGlassTexture() {
    const int size = 256;
    Image image(size, size, 3);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float u = x / float(size), v = y / float(size);
            float cloud = periodicFbm(u, v, 2, 5, 11);
            float warp = periodicFbm(u, v, 2, 4, 23) - 0.5f;
            float warp2 = periodicFbm(u, v, 3, 3, 29) - 0.5f;

            // Sky-like base, mottled between slate and pale blue-grey.
            Colour c = mix(rgb(44, 58, 80), rgb(140, 160, 186), smoothstep(0.3f, 0.7f, cloud));

            // Reflected light: a broad soft band, a sharp streak and a faint cross streak, each
            // bent by the warp; whole numbers of periods across the picture keep them seamless.
            float band = std::sin(kTau * (u + v) + 3 * warp);
            float streak = std::sin(kTau * (2 * u + v) + 2.5f * warp + 1);
            float cross = std::sin(kTau * (3 * u - v) + 3 * warp2 + 2);
            float streaks = 0.5f * std::pow(0.5f + 0.5f * band, 4.0f) +
                            0.7f * std::pow(0.5f + 0.5f * streak, 24.0f) +
                            0.3f * std::pow(0.5f + 0.5f * cross, 40.0f);
            c = c + rgb(225, 238, 255) * streaks;
            putColour(image, x, y, c);
        }
    }
    return image;
}

Image makeStripedTexture() {
    const int size = 128;
    const Colour palette[] = {rgb(232, 48, 64),  rgb(248, 140, 32), rgb(250, 214, 44),
                              rgb(72, 196, 84),  rgb(30, 176, 196), rgb(44, 96, 216),
                              rgb(134, 62, 206), rgb(224, 64, 168)};
    // Stripes run along x + y; their colours repeat every `size` steps of x + y, so moving a
    // whole picture width or height lands on the same colour.
    const int stripes = 8;
    const float period = float(size) / stripes;
    Image image(size, size, 3);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // 4 x 4 samples per pixel for smooth stripe edges.
            Colour sum;
            for (int sy = 0; sy < 4; ++sy) {
                for (int sx = 0; sx < 4; ++sx) {
                    float d = std::fmod(x + (sx + 0.5f) / 4 + y + (sy + 0.5f) / 4, float(size));
                    int index = static_cast<int>(d / period) % stripes;
                    float across = d / period - std::floor(d / period);
                    // Rounded like a ridge: lit in the middle, a dark groove at the edges.
                    float shade = 0.72f + 0.38f * std::sin(kPi * across);
                    float groove = smoothstep(0.0f, 0.1f, across) * smoothstep(1.0f, 0.9f, across);
                    sum = sum + palette[index] * (shade * (0.35f + 0.65f * groove));
                }
            }
            putColour(image, x, y, sum * (1.0f / 16));
        }
    }
    return image;
}

Image makeCheckedTexture() {
    const int size = 128, square = 16;
    const Colour light = rgb(236, 232, 220), dark = rgb(40, 58, 110);
    Image image(size, size, 3);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            int cx = x / square, cy = y / square;
            Colour base = (cx + cy) % 2 == 0 ? light : dark;
            // Each square a slightly domed tile: bevelled edges lit from the top left and a
            // soft sheen towards the middle.
            float px = (x % square + 0.5f) / square, py = (y % square + 0.5f) / square;
            float shade = 1.0f;
            if (px < 0.125f || py < 0.125f) shade = 1.18f;
            if (px > 0.875f || py > 0.875f) shade = 0.72f;
            if ((px < 0.125f && py > 0.875f) || (px > 0.875f && py < 0.125f)) shade = 0.95f;
            float dx = px - 0.4f, dy = py - 0.4f;
            shade *= 0.92f + 0.14f * std::exp(-(dx * dx + dy * dy) * 8);
            putColour(image, x, y, base * shade);
        }
    }
    return image;
}

Image makeWaterTexture() {
    const int size = 256;
    Image image(size, size, 3);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float u = x / float(size), v = y / float(size);
            // Wobble the cell pattern with periodic noise so the light lines curve.
            float wu = u + 0.035f * (periodicFbm(u, v, 4, 3, 51) - 0.5f);
            float wv = v + 0.035f * (periodicFbm(u, v, 4, 3, 52) - 0.5f);
            CellDistances coarse = periodicCells(wu, wv, 6, 61);
            CellDistances fine = periodicCells(wu + 0.37f, wv + 0.11f, 11, 71);
            // Caustic lines where two cells meet: where the nearest and second distances agree.
            float lines = std::exp(-(coarse.second - coarse.nearest) * 9.0f) +
                          0.4f * std::exp(-(fine.second - fine.nearest) * 12.0f);
            lines *= 0.55f + 0.9f * periodicFbm(u, v, 3, 3, 91);
            float depth = periodicFbm(u, v, 2, 4, 81);
            float ripple = 0.5f + 0.5f * std::sin(kTau * (3 * u + 2 * v) + 3 * depth);

            Colour c = mix(rgb(6, 38, 92), rgb(16, 92, 150), smoothstep(0.2f, 0.8f, depth));
            c = c + rgb(10, 40, 50) * ripple;
            c = c + rgb(60, 200, 230) * (0.75f * lines);
            c = c + rgb(200, 255, 255) * (0.5f * std::pow(lines * 0.8f, 3.0f));
            putColour(image, x, y, c);
        }
    }
    return image;
}

std::vector<NamedTexture> makeTextureSet() {
    std::vector<NamedTexture> set;
    set.push_back({"Pulsar.tga", makePulsarSheet()});
    set.push_back({"Loading.tga", makeLoadingPicture()});
    set.push_back({"Glass.tga", makeGlassTexture()});
    set.push_back({"Striped.tga", makeStripedTexture()});
    set.push_back({"Checked.tga", makeCheckedTexture()});
    set.push_back({"Water.tga", makeWaterTexture()});
    return set;
}
