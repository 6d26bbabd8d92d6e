#include "tools/texgen/ProgramIcon.h"

#include <cmath>

namespace {

void put16(std::vector<uint8_t>& out, unsigned v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& out, unsigned v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

}  // namespace

Image paintProgramIcon(int size) {
    Image icon(size, size, 4);
    const float centre = size / 2.0f, radius = size / 2.0f;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float d = std::hypot(x + 0.5f - centre, y + 0.5f - centre) / radius;  // 0..1 at the rim
            const Colour night = rgb(12, 16, 40), ring = rgb(90, 200, 255), core = rgb(255, 240, 200);
            Colour c = night;
            c = mix(c, ring, std::exp(-std::pow((d - 0.68f) / 0.09f, 2.0f)));  // the ring
            c = mix(c, core, std::exp(-std::pow(d / 0.22f, 2.0f)));           // the core
            uint8_t* p = icon.at(x, y);
            p[0] = toByte(c.r);
            p[1] = toByte(c.g);
            p[2] = toByte(c.b);
            p[3] = toByte(std::clamp((1.0f - d) * radius, 0.0f, 1.0f));  // a smooth edge
        }
    }
    return icon;
}

std::vector<uint8_t> encodeIco(const std::vector<Image>& images) {
    std::vector<uint8_t> out;
    put16(out, 0);
    put16(out, 1);  // an icon
    put16(out, static_cast<unsigned>(images.size()));
    std::vector<std::vector<uint8_t>> bitmaps;
    for (const Image& image : images) {
        std::vector<uint8_t> b;
        const unsigned maskRow = ((static_cast<unsigned>(image.width) + 31) / 32) * 4;
        put32(b, 40);
        put32(b, static_cast<unsigned>(image.width));
        put32(b, static_cast<unsigned>(image.height) * 2);  // the colours and the mask
        put16(b, 1);
        put16(b, 32);
        put32(b, 0);
        put32(b, 0);
        for (int i = 0; i < 4; ++i) put32(b, 0);
        for (int y = image.height - 1; y >= 0; --y) {  // bottom row first, blue green red alpha
            for (int x = 0; x < image.width; ++x) {
                const uint8_t* p = image.at(x, y);
                b.insert(b.end(), {p[2], p[1], p[0], p[3]});
            }
        }
        b.insert(b.end(), maskRow * static_cast<unsigned>(image.height), 0);  // alpha decides
        bitmaps.push_back(std::move(b));
    }
    unsigned offset = 6 + 16 * static_cast<unsigned>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        out.push_back(static_cast<uint8_t>(images[i].width & 0xFF));
        out.push_back(static_cast<uint8_t>(images[i].height & 0xFF));
        out.push_back(0);
        out.push_back(0);
        put16(out, 1);
        put16(out, 32);
        put32(out, static_cast<unsigned>(bitmaps[i].size()));
        put32(out, offset);
        offset += static_cast<unsigned>(bitmaps[i].size());
    }
    for (const auto& b : bitmaps) out.insert(out.end(), b.begin(), b.end());
    return out;
}
