// An image file from bytes as a model's material names it: TGA, or PNG, JPEG and BMP by their
// signatures, decoded to the pixels a texture is made from.
#include <cstdint>
#include <cstdio>

#include "readers/ImageFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;  // a stream over no bytes cannot be opened
    std::FILE* stream = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!stream) return 0;
    TgaImage image;
    ImageFormat format;
    const int status = readImageFile(stream, image, format);
    std::fclose(stream);
    // A picture read is exactly as large as it says; anything else has no pixels.
    const size_t channels = image.channels;
    if (status == kTgaOk ? image.width == 0 || image.height == 0 ||
                               image.pixels.size() != size_t{image.width} * image.height * channels
                         : !image.pixels.empty())
        __builtin_trap();
    return 0;
}
