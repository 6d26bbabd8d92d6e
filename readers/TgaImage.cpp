#include "readers/TgaImage.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <new>
#include <utility>

namespace {

constexpr size_t kHeaderSize = 18;

// Pixel data is read in pieces and the buffer grows only as bytes actually arrive, so a header
// announcing a huge picture in a small file never makes us allocate more than the file holds
// (plus one piece and the vector's growth).
constexpr size_t kReadPiece = size_t{4} << 20;

struct File {
    std::FILE* f;
    ~File() {
        if (f) std::fclose(f);
    }
};

unsigned littleEndian16(const uint8_t* p) { return p[0] | (static_cast<unsigned>(p[1]) << 8); }

// Reads exactly count bytes into the end of out, growing it piece by piece. False when the
// file ends first or memory runs out; out may then hold part of the data.
bool readBytes(std::FILE* f, uint64_t count, std::vector<uint8_t>& out) {
    if (count > out.max_size() - out.size()) return false;
    try {
        while (count > 0) {
            size_t piece = static_cast<size_t>(std::min<uint64_t>(count, kReadPiece));
            size_t at = out.size();
            out.resize(at + piece);
            if (std::fread(out.data() + at, 1, piece, f) != piece) return false;
            count -= piece;
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

}  // namespace

int readTga(const std::string& path, TgaImage& image) {
    File file{std::fopen(path.c_str(), "rb")};
    return readTga(file.f, image);
}

int readTga(std::FILE* stream, TgaImage& image) {
    image.pixels.clear();
    image.pixels.shrink_to_fit();
    image.width = 0;
    image.height = 0;
    if (!stream) return kTgaCannotOpen;

    uint8_t header[kHeaderSize] = {};
    size_t got = std::fread(header, 1, kHeaderSize, stream);
    // A header cut short: with the colour-map and image type bytes missing the file cannot be
    // an uncompressed true-colour image (2); if those are present and acceptable, the rest of
    // the file, pixels included, is shorter than announced (5).
    if (got < 3) return kTgaNotTrueColour;
    if (header[1] != 0 || header[2] != 2) return kTgaNotTrueColour;
    if (got < kHeaderSize) return kTgaNoPixels;

    unsigned depth = header[16];
    if (depth != 24 && depth != 32) return kTgaBadDepth;
    unsigned width = littleEndian16(header + 12);
    unsigned height = littleEndian16(header + 14);
    bool topRowFirst = (header[17] & 0x20) != 0;

    std::vector<uint8_t> skipped;
    if (!readBytes(stream, header[0], skipped)) return kTgaNoPixels;
    if (width == 0 || height == 0) return kTgaNoPixels;

    // At most 65535 x 65535 x 4, which needs 64 bits even where size_t has 32.
    size_t bytesPerPixel = depth / 8;
    uint64_t size = uint64_t{width} * height * bytesPerPixel;
    if (size > std::numeric_limits<size_t>::max()) return kTgaNoPixels;

    std::vector<uint8_t> pixels;
    if (!readBytes(stream, size, pixels)) return kTgaNoPixels;

    // Stored blue, green, red (, alpha); OpenGL wants red first.
    for (size_t at = 0; at < pixels.size(); at += bytesPerPixel)
        std::swap(pixels[at], pixels[at + 2]);

    // OpenGL takes the bottom row first, the TGA default; reverse the rows of a file stored
    // top row first.
    if (topRowFirst) {
        size_t stride = width * bytesPerPixel;
        for (size_t top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
            std::swap_ranges(pixels.begin() + top * stride, pixels.begin() + (top + 1) * stride,
                             pixels.begin() + bottom * stride);
    }

    image.pixels = std::move(pixels);
    image.width = width;
    image.height = height;
    image.channels = depth == 32 ? 4 : 3;
    return image.pixels.empty() ? kTgaNoPixels : kTgaOk;
}
