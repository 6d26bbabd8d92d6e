// An image file from bytes (TGA, or PNG, JPEG and BMP by their signatures) decoded as a model
// texture or skybox face is, then made into a texture on a real OpenGL context (Mesa's
// off-screen renderer, made once) at both texel depths.
#include <cstdint>
#include <cstdio>

#include "assets/ImageFile.h"
#include "assets/TextureLoader.h"
#include "platform/headless/OffscreenContext.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static OffscreenContext context(16, 16);
    if (size == 0) return 0;  // a stream over no bytes cannot be opened
    std::FILE* stream = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!stream) return 0;
    TgaImage image;
    ImageFormat format;
    const int status = readImageFile(stream, image, format);
    std::fclose(stream);
    if (status != kTgaOk) return 0;
    // Only what a successful read promises is relied on.
    if (image.width == 0 || image.height == 0 ||
        image.pixels.size() != size_t{image.width} * image.height *
                                   (image.pixelFormat == GL_RGBA ? 4 : 3))
        __builtin_trap();
    TextureLoader loader;
    loader.texBits = size % 2 ? 32 : 16;
    loader.createTexture(image);
    loader.deleteAllTextures();
    return 0;
}
