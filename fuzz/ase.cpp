// A model file from bytes: the block index, every object's field and mesh passes, and the
// arrays drawing uses, as a model load runs them. Textures are left out: the bitmap names
// would open whatever files the input names.
#include <cstdint>
#include <string_view>

#include "glres/ModelScene.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const AseBlocks blocks(text);
    ModelScene scene;
    if (blocks.geomObjectCount() > 0 && readModelObjects(text, blocks, scene.objects)) {
        scene.objectCount = static_cast<uint32_t>(scene.objects.size());
        scene.buildDrawArrays();
    }
    return 0;
}
