// A TGA file from bytes made into a texture as the named textures and skybox faces are, on a
// real OpenGL context (Mesa's off-screen renderer, made once), at both texel depths.
#include <cstdint>
#include <cstdio>

#include "glres/TextureLoader.h"
#include "readers/TgaImage.h"
#include "platform/headless/OffscreenContext.h"

namespace {
OffscreenContext* context = nullptr;
}

// Made before the first input, so that what the context keeps is not taken for a leak of one.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    context = new OffscreenContext(16, 16);
    return context->ok() ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;  // a stream over no bytes cannot be opened
    std::FILE* stream = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!stream) return 0;
    TgaImage image;
    const int status = readTga(stream, image);
    std::fclose(stream);
    if (status != kTgaOk) return 0;
    TextureLoader loader;
    loader.texBits = size % 2 ? 32 : 16;
    loader.createTexture(image);
    loader.deleteAllTextures();
    return 0;
}
