#include "readers/ImageFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

// stb_image, compiled into the plug-in: only the decoders we offer, no file access of its own
// (we hand it the bytes), no global state that matters to us, and a bound on the picture's
// sides so that a small file cannot announce a huge allocation.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_THREAD_LOCALS
#define STBI_NO_FAILURE_STRINGS
#define STBI_MAX_DIMENSIONS kMaxDecodedSide
#include <stb_image.h>

namespace {

ImageFormat formatOf(const unsigned char* head, size_t size) {
    static const unsigned char kPng[8] = {0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a};
    if (size >= 8 && std::memcmp(head, kPng, 8) == 0) return ImageFormat::Png;
    if (size >= 3 && head[0] == 0xff && head[1] == 0xd8 && head[2] == 0xff)
        return ImageFormat::Jpeg;
    if (size >= 2 && head[0] == 'B' && head[1] == 'M') return ImageFormat::Bmp;
    return ImageFormat::Tga;  // which has no signature of its own
}

// The stb_image that Debian ships writes past a Huffman table's list of code lengths when a JPEG
// table announces more than 256 codes. Such a file is refused before stb_image sees it: every
// table of every Huffman-table segment is checked, wherever its marker stands in the file, and
// read the way stb_image reads it (a table runs on past a segment that is too short for it, and
// bytes past the end of the file read as 0).
bool huffmanTablesFit(const unsigned char* data, size_t size) {
    auto byte = [&](size_t at) -> unsigned { return at < size ? data[at] : 0; };
    for (size_t marker = 0; marker + 1 < size; ++marker) {
        if (data[marker] != 0xff || data[marker + 1] != 0xc4) continue;
        long remaining = static_cast<long>(byte(marker + 2) << 8 | byte(marker + 3)) - 2;
        for (size_t table = marker + 4; remaining > 0 && table < size;) {
            unsigned codes = 0;
            for (size_t i = 1; i <= 16; ++i) codes += byte(table + i);
            if (codes > 256) return false;
            table += 17 + codes;
            remaining -= static_cast<long>(17 + codes);
        }
    }
    return true;
}

// It also decodes a scan with whatever a Huffman table it names holds when no segment before
// the scan defined that table, and reads past the table's code limits. Such a file is refused:
// the segments are walked in order (entropy-coded data skipped up to the next marker) and each
// scan's tables must have been defined: both of each component in a sequential picture, the
// DC or the AC table (by the scan's first coefficient) in a progressive one.
bool scansUseDefinedTables(const unsigned char* data, size_t size) {
    bool defined[2][4] = {};
    bool progressive = false;
    for (size_t at = 2; at + 4 <= size;) {
        const unsigned marker = data[at + 1];
        if (data[at] != 0xff || marker == 0xff) {  // entropy-coded data, or a fill byte
            ++at;
            continue;
        }
        if (marker == 0x00 || marker == 0x01 || (marker >= 0xd0 && marker <= 0xd7)) {
            at += 2;  // a stuffed byte or a restart marker: no segment
            continue;
        }
        if (marker == 0xd9) break;  // the end of the picture
        const size_t segment = at + 4;
        const size_t end = std::min(size, at + 2 + (size_t{data[at + 2]} << 8 | data[at + 3]));
        if (marker == 0xc2) progressive = true;
        if (marker == 0xc4)
            for (size_t table = segment; table + 17 <= end;) {
                const unsigned kind = data[table] >> 4, id = data[table] & 15;
                if (kind < 2 && id < 4) defined[kind][id] = true;
                size_t codes = 0;
                for (size_t i = 1; i <= 16; ++i) codes += data[table + i];
                table += 17 + codes;
            }
        if (marker == 0xda && segment < end) {
            const size_t components = data[segment];
            const size_t start = segment + 1 + 2 * components;  // the first coefficient
            if (start >= end) return false;
            const bool dc = !progressive || data[start] == 0, ac = !progressive || data[start] != 0;
            for (size_t i = 0; i < components; ++i) {
                const unsigned tables = data[segment + 2 + 2 * i];
                if ((dc && ((tables >> 4) > 3 || !defined[0][tables >> 4])) ||
                    (ac && ((tables & 15) > 3 || !defined[1][tables & 15])))
                    return false;
            }
        }
        at += 2 + (size_t{data[at + 2]} << 8 | data[at + 3]);
    }
    return true;
}

// And it copies the first PNG data chunk with memcpy from a buffer it has not made yet when that
// chunk is empty (undefined, though 0 bytes): such a file is refused.
bool firstPngDataChunkHolds(const unsigned char* data, size_t size) {
    for (size_t at = 8; at + 8 <= size;) {
        const uint64_t length = uint64_t{data[at]} << 24 | data[at + 1] << 16 | data[at + 2] << 8 |
                                data[at + 3];
        if (std::memcmp(data + at + 4, "IDAT", 4) == 0) return length > 0;
        if (size - at < 12 || length > size - at - 12) break;  // runs past the end
        at += 12 + static_cast<size_t>(length);
    }
    return true;
}

struct File {
    std::FILE* f;
    ~File() {
        if (f) std::fclose(f);
    }
};

// The whole file, which stb_image decodes from memory. False when it cannot be read or is
// beyond what stb_image takes (its sizes are int).
bool readAll(std::FILE* f, std::vector<unsigned char>& bytes) {
    if (std::fseek(f, 0, SEEK_END) != 0) return false;
    const long size = std::ftell(f);
    if (size < 0 || size > std::numeric_limits<int>::max()) return false;
    std::rewind(f);
    try {
        bytes.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
}

int decode(std::FILE* file, ImageFormat format, TgaImage& image) {
    std::vector<unsigned char> bytes;
    if (!readAll(file, bytes)) return kTgaNoPixels;
    const stbi_uc* data = bytes.data();
    const int size = static_cast<int>(bytes.size());
    if (format == ImageFormat::Jpeg &&
        (!huffmanTablesFit(data, bytes.size()) || !scansUseDefinedTables(data, bytes.size())))
        return kImageUndecodable;
    if (format == ImageFormat::Png && !firstPngDataChunkHolds(data, bytes.size()))
        return kImageUndecodable;
    int width = 0, height = 0, channels = 0;
    // stb_image takes a BMP of no rows for a picture; a picture without pixels is none.
    if (!stbi_info_from_memory(data, size, &width, &height, &channels) || width <= 0 ||
        height <= 0 || width > kMaxDecodedSide || height > kMaxDecodedSide)
        return kImageUndecodable;
    const int wanted = channels == 2 || channels == 4 ? 4 : 3;  // keep alpha when there is some
    stbi_uc* pixels = stbi_load_from_memory(data, size, &width, &height, &channels, wanted);
    if (!pixels || width <= 0 || height <= 0) {
        stbi_image_free(pixels);
        return kImageUndecodable;
    }

    // stb_image gives the top row first; OpenGL takes the bottom row first.
    const size_t stride = static_cast<size_t>(width) * static_cast<size_t>(wanted);
    try {
        image.pixels.resize(stride * static_cast<size_t>(height));
    } catch (const std::bad_alloc&) {
        stbi_image_free(pixels);
        return kTgaNoPixels;
    }
    for (size_t row = 0; row < static_cast<size_t>(height); ++row)
        std::memcpy(image.pixels.data() + row * stride,
                    pixels + (static_cast<size_t>(height) - 1 - row) * stride, stride);
    stbi_image_free(pixels);
    image.width = static_cast<unsigned>(width);
    image.height = static_cast<unsigned>(height);
    image.channels = wanted == 4 ? 4 : 3;
    return kTgaOk;
}

}  // namespace

const char* imageFormatName(ImageFormat format) {
    switch (format) {
    case ImageFormat::Png:
        return "PNG";
    case ImageFormat::Jpeg:
        return "JPEG";
    case ImageFormat::Bmp:
        return "BMP";
    case ImageFormat::Tga:
        break;
    }
    return "TGA";
}

int readImageFile(const std::string& path, TgaImage& image, ImageFormat& format) {
    File file{std::fopen(path.c_str(), "rb")};
    return readImageFile(file.f, image, format);
}

int readImageFile(std::FILE* stream, TgaImage& image, ImageFormat& format) {
    image = TgaImage{};
    format = ImageFormat::Tga;
    if (!stream) return kTgaCannotOpen;
    unsigned char head[8];
    format = formatOf(head, std::fread(head, 1, sizeof head, stream));
    if (format != ImageFormat::Tga) return decode(stream, format, image);
    std::rewind(stream);
    return readTga(stream, image);
}
