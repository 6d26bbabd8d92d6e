#pragma once
// The model in memory: every geometry object of an ASE file with its arrays and texture, and
// the transform it is drawn with.

#include <string>
#include <vector>

#include "assets/AseReader.h"
#include "assets/GlHeaders.h"

class TextureLoader;

struct ModelScene {
    float translation[3] = {0, 0, 0};
    float scale[3] = {1, 1, 1};
    float rotationAngle = 0;
    float rotationAxis[3] = {0, 1, 0};
    std::vector<MeshObject> objects;
    uint32_t objectCount = 0;

    // Deletes the objects' registered textures through loader (the dynamic texture is not
    // registered and stays), frees the objects and resets the transform.
    void release(TextureLoader& loader);
};

// Builds the model of an ASE file into scene, with each object's texture: none, the dynamic
// texture for objects whose bitmap is dynamicTextureName, or the named TGA file (relative to the
// current directory), clamped when the material's transform is the identity and repeated
// otherwise. False when the file cannot be opened or holds no object (the scene is then
// untouched) or the objects cannot be allocated (the scene is then empty).
bool loadModelFile(const std::string& path, const std::string& dynamicTextureName,
                   ModelScene& scene, TextureLoader& loader, GLuint dynamicTexture,
                   bool& usesDynamicTexture);
