// A model file from bytes: the block index, every object's field and mesh passes, and the
// arrays drawing uses, as a model load runs them. Textures are left out: the bitmap names
// would open whatever files the input names.
#include <cstdint>
#include <cstdio>

#include "glres/ModelScene.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;  // a stream over no bytes cannot be opened
    std::FILE* stream = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!stream) return 0;
    const AseBlocks blocks = AseBlocks::indexed(stream);
    ModelScene scene;
    if (blocks.geomObjectCount() > 0 && readModelObjects(stream, blocks, scene.objects)) {
        scene.objectCount = static_cast<uint32_t>(scene.objects.size());
        scene.buildDrawArrays();
    }
    std::fclose(stream);
    return 0;
}
