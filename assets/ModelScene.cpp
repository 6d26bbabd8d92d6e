#include "assets/ModelScene.h"

#include <cstdio>
#include <new>

#include "assets/TextureLoader.h"

namespace {

struct File {
    std::FILE* handle;
    explicit File(const std::string& path) : handle(std::fopen(path.c_str(), "r")) {}
    ~File() {
        if (handle) std::fclose(handle);
    }
};

void chooseTexture(MeshObject& object, const std::string& dynamicTextureName,
                   TextureLoader& loader, GLuint dynamicTexture, bool& usesDynamicTexture) {
    const bool clamp = object.uOffset == 0 && object.vOffset == 0 && object.uTiling == 1.0f &&
                       object.vTiling == 1.0f;
    const GLenum wrap = clamp ? GL_CLAMP : GL_REPEAT;
    if (object.bitmapName[0] == '\0') return;
    if (dynamicTextureName == object.bitmapName) {
        usesDynamicTexture = true;
        object.textureName = dynamicTexture;
        if (!dynamicTexture) return;
        glBindTexture(GL_TEXTURE_2D, dynamicTexture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLint>(wrap));
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLint>(wrap));
        glBindTexture(GL_TEXTURE_2D, 0);
        return;
    }
    loader.wrapS = loader.wrapT = wrap;
    object.textureName = loader.loadTexture(object.bitmapName);
}

}  // namespace

void ModelScene::release(TextureLoader& loader) {
    for (MeshObject& object : objects)
        if (object.textureName) loader.deleteTexture(object.textureName);
    objects.clear();
    objects.shrink_to_fit();
    objectCount = 0;
    *this = ModelScene{};
}

bool loadModelFile(const std::string& path, const std::string& dynamicTextureName,
                   ModelScene& scene, TextureLoader& loader, GLuint dynamicTexture,
                   bool& usesDynamicTexture) {
    File file(path);
    if (!file.handle) return false;
    const int count = countGeomObjects(file.handle);
    if (count <= 0) return false;

    scene.release(loader);
    try {
        scene.objects.resize(static_cast<size_t>(count));
    } catch (const std::bad_alloc&) {
        return false;
    }
    scene.objectCount = static_cast<uint32_t>(count);
    usesDynamicTexture = false;

    for (int i = 0; i < count; ++i) {
        MeshObject& object = scene.objects[static_cast<size_t>(i)];
        seekMaterial(file.handle, i);  // the material at the object's own position first
        readObjectFields(file.handle, object);
        seekGeomObject(file.handle, i);
        readObjectFields(file.handle, object);
        object.allocateArrays();  // on failure the arrays stay empty and their entries are skipped
        seekMaterial(file.handle, object.materialRef);
        readObjectFields(file.handle, object);
        seekGeomObject(file.handle, i);
        readMeshData(file.handle, object);
        chooseTexture(object, dynamicTextureName, loader, dynamicTexture, usesDynamicTexture);
    }
    return true;
}
