#include "tools/texgen/Procedural.h"

#include <algorithm>
#include <cmath>

uint32_t hash32(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

uint32_t hash32(int32_t x, int32_t y, uint32_t seed) {
    return hash32(static_cast<uint32_t>(x) ^ hash32(static_cast<uint32_t>(y) ^ hash32(seed)));
}

float hashUnit(int32_t x, int32_t y, uint32_t seed) {
    return static_cast<float>(hash32(x, y, seed) >> 8) / 16777216.0f;
}

float smoothstep(float edge0, float edge1, float x) {
    float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

namespace {

int wrap(int i, int n) { return ((i % n) + n) % n; }

// The fractional part and the integer cell of a lattice coordinate.
void split(float p, int& cell, float& frac) {
    float f = std::floor(p);
    cell = static_cast<int>(f);
    frac = p - f;
}

float fade(float t) { return t * t * t * (t * (t * 6 - 15) + 10); }

}  // namespace

float periodicNoise(float u, float v, int cells, uint32_t seed) {
    int ix, iy;
    float fx, fy;
    split(u * cells, ix, fx);
    split(v * cells, iy, fy);
    auto corner = [&](int dx, int dy) {
        return hashUnit(wrap(ix + dx, cells), wrap(iy + dy, cells), seed);
    };
    float sx = fade(fx), sy = fade(fy);
    float top = corner(0, 0) + (corner(1, 0) - corner(0, 0)) * sx;
    float bottom = corner(0, 1) + (corner(1, 1) - corner(0, 1)) * sx;
    return top + (bottom - top) * sy;
}

float periodicFbm(float u, float v, int cells, int octaves, uint32_t seed) {
    float sum = 0, weight = 1, total = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += periodicNoise(u, v, cells << o, seed + 977 * o) * weight;
        total += weight;
        weight *= 0.5f;
    }
    return sum / total;
}

CellDistances periodicCells(float u, float v, int cells, uint32_t seed) {
    int ix, iy;
    float fx, fy;
    split(u * cells, ix, fx);
    split(v * cells, iy, fy);
    CellDistances d{1e9f, 1e9f};
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            int cx = wrap(ix + dx, cells), cy = wrap(iy + dy, cells);
            float px = dx + 0.1f + 0.8f * hashUnit(cx, cy, seed);
            float py = dy + 0.1f + 0.8f * hashUnit(cx, cy, seed + 1);
            float dist = std::hypot(px - fx, py - fy);
            if (dist < d.nearest) {
                d.second = d.nearest;
                d.nearest = dist;
            } else if (dist < d.second) {
                d.second = dist;
            }
        }
    }
    return d;
}
