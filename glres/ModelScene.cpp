#include "glres/ModelScene.h"

#include <cstdio>
#include <new>

#include "readers/ImageFile.h"
#include "glres/TextureLoader.h"
#include "platform/Platform.h"

namespace {

// Far beyond any model shown in a plug-in; a file announcing more is refused as too big.
constexpr size_t kMaxObjects = size_t{1} << 16;

// What the arrays of all objects together may take, those drawing builds included: room for
// more than a million triangles, far beyond any model shown in a plug-in, and little enough for
// a 32-bit player to spare. A few bytes of a file can announce millions of entries in each of
// thousands of objects; the objects beyond this get no arrays, as when memory runs out.
constexpr uint64_t kMaxModelBytes = uint64_t{256} << 20;

// A model file is read whole: text for arrays far beyond that bound, and little enough for a
// 32-bit player to hold a moment.
constexpr size_t kMaxModelFileBytes = size_t{256} << 20;

}  // namespace

uint64_t modelArrayBytes(const MeshObject& o) {
    const uint64_t perVertex = sizeof(float) * (o.hasNormals ? 6 : 3);
    const uint64_t perCorner = sizeof(float) * (3 + (o.texVertexCount ? 2 : 0) +
                                                (o.colourVertexCount ? 3 : 0) +
                                                (o.hasNormals ? 3 : 0));
    // Every product in 64 bits: a count times sizeof is only as wide as size_t, which has 32
    // bits in the player's process, where a count of 2^30 texture vertices would wrap to none.
    return uint64_t{o.vertexCount} * perVertex + uint64_t{o.texVertexCount} * sizeof(float) * 2 +
           uint64_t{o.colourVertexCount} * sizeof(float) * 3 +
           uint64_t{o.faceCount} * (sizeof(MeshFace) + 3 * perCorner);
}

namespace {

bool opens(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file) std::fclose(file);
    return file != nullptr;
}

}  // namespace

BitmapSource findBitmap(const std::string& folder, const std::string& bitmapName,
                        std::string& path) {
    const std::string named = platform::nativePath(bitmapName);
    path = platform::isAbsolutePath(named) ? named : folder + named;
    if (opens(path)) return BitmapSource::AsNamed;
    const size_t folderEnd = bitmapName.find_last_of("\\/");
    if (folderEnd != std::string::npos && folderEnd + 1 < bitmapName.size()) {
        std::string fileName = folder + bitmapName.substr(folderEnd + 1);
        if (opens(fileName)) {
            path = fileName;
            return BitmapSource::ByFileName;
        }
    }
    return BitmapSource::Missing;
}

TextureChoice chooseModelTexture(const MeshObject& object, const std::string& dynamicTextureName,
                                 const std::string& folder) {
    TextureChoice choice;
    const bool clamp = object.uOffset == 0 && object.vOffset == 0 && object.uTiling == 1.0f &&
                       object.vTiling == 1.0f;
    choice.wrap = clamp ? GL_CLAMP : GL_REPEAT;
    if (object.bitmapName[0] == '\0') return choice;
    if (dynamicTextureName == object.bitmapName) {
        choice.kind = TextureChoice::Dynamic;
        return choice;
    }
    choice.kind = TextureChoice::File;
    choice.source = findBitmap(folder, object.bitmapName, choice.path);
    return choice;
}

void ModelScene::release(TextureLoader& loader) {
    for (MeshObject& object : objects)
        if (object.textureName) loader.deleteTexture(object.textureName);
    objects.clear();
    objects.shrink_to_fit();
    objectCount = 0;
    *this = ModelScene{};
}

bool readModelObjects(std::string_view text, const AseBlocks& blocks,
                      std::vector<MeshObject>& objects, std::vector<MeshEntryTally>* tallies) {
    const size_t count = blocks.geomObjectCount();
    objects.clear();
    if (count > kMaxObjects) return false;
    try {
        objects.resize(count);
        if (tallies) tallies->assign(count, MeshEntryTally{});
    } catch (const std::bad_alloc&) {
        objects.clear();
        objects.shrink_to_fit();
        return false;
    }
    uint64_t spare = kMaxModelBytes;
    for (size_t i = 0; i < count; ++i) {
        MeshObject& object = objects[i];
        const auto index = static_cast<long long>(i);
        // The material at the object's own position first.
        AseBlockPass::material(text, blocks, index).applyFields(object);
        const AseBlockPass geometry = AseBlockPass::geomObject(text, blocks, index, tallies != nullptr);
        geometry.applyFields(object);
        // Without arrays (over the bound, or no memory) the object's entries are skipped.
        const uint64_t bytes = modelArrayBytes(object);
        if (bytes <= spare && object.allocateArrays()) spare -= bytes;
        AseBlockPass::material(text, blocks, object.materialRef).applyFields(object);
        geometry.applyMesh(object, tallies ? &(*tallies)[i] : nullptr);
    }
    return true;
}

bool readModelFile(const std::string& path, std::string& text) {
    return platform::readWholeFile(path, text, kMaxModelFileBytes) == platform::ReadResult::Ok;
}

ModelData::Read readModelData(const std::string& path, const std::string& dynamicTextureName,
                              ModelData& data) {
    data = ModelData{};
    std::string text;
    if (!readModelFile(path, text)) return ModelData::Unreadable;
    const AseBlocks blocks(text);
    if (blocks.geomObjectCount() == 0) return ModelData::Unreadable;
    if (!readModelObjects(text, blocks, data.objects)) return ModelData::TooBig;
    // Bitmaps are looked for beside the model file; objects naming the same file with the same
    // wrap share one picture, read once.
    const std::string folder = path.substr(0, path.find_last_of("\\/") + 1);
    try {
        for (const MeshObject& object : data.objects) {
            data.choices.push_back(chooseModelTexture(object, dynamicTextureName, folder));
            const TextureChoice& choice = data.choices.back();
            int picture = -1;
            if (choice.kind == TextureChoice::File && choice.source != BitmapSource::Missing) {
                for (size_t i = 0; i < data.pictures.size() && picture < 0; ++i)
                    if (data.pictures[i].path == choice.path && data.pictures[i].wrap == choice.wrap)
                        picture = static_cast<int>(i);
                if (picture < 0) {
                    data.pictures.push_back({choice.path, choice.wrap, {}, false, 0, false});
                    ModelData::Picture& added = data.pictures.back();
                    ImageFormat format;
                    added.decoded = readImageFile(choice.path, added.image, format) == kTgaOk;
                    picture = static_cast<int>(data.pictures.size() - 1);
                }
            }
            data.pictureOf.push_back(picture);
        }
    } catch (const std::bad_alloc&) {
        data = ModelData{};
        return ModelData::TooBig;
    }
    ModelScene arrays;
    arrays.objects.swap(data.objects);
    arrays.buildDrawArrays();
    arrays.objects.swap(data.objects);
    data.arrays.swap(arrays.arrays);
    return ModelData::Ok;
}

bool ModelData::uploadPicture(TextureLoader& loader) {
    for (Picture& picture : pictures) {
        if (picture.made) continue;
        picture.made = true;
        loader.magFilter = loader.minFilter = GL_LINEAR;
        loader.wrapS = loader.wrapT = picture.wrap;
        if (picture.decoded) picture.texture = loader.createTexture(picture.image);
        picture.image = TgaImage{};
        return true;
    }
    return false;
}

void ModelData::discard(TextureLoader& loader) {
    for (Picture& picture : pictures)
        if (picture.texture) loader.deleteTexture(picture.texture);
    *this = ModelData{};
}

void installModel(ModelData& data, ModelScene& scene, TextureLoader& loader,
                  GLuint dynamicTexture, bool& usesDynamicTexture) {
    scene.release(loader);
    while (data.uploadPicture(loader)) {
    }
    usesDynamicTexture = false;
    for (size_t i = 0; i < data.objects.size(); ++i) {
        MeshObject& object = data.objects[i];
        const TextureChoice& choice = data.choices[i];
        if (data.pictureOf[i] >= 0) object.textureName = data.pictures[data.pictureOf[i]].texture;
        if (choice.kind != TextureChoice::Dynamic) continue;
        usesDynamicTexture = true;
        object.textureName = dynamicTexture;
        if (!dynamicTexture) continue;
        glBindTexture(GL_TEXTURE_2D, dynamicTexture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLint>(choice.wrap));
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLint>(choice.wrap));
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    scene.objects.swap(data.objects);
    scene.arrays.swap(data.arrays);
    scene.objectCount = static_cast<uint32_t>(scene.objects.size());
    data = ModelData{};
}

bool loadModelFile(const std::string& path, const std::string& dynamicTextureName,
                   ModelScene& scene, TextureLoader& loader, GLuint dynamicTexture,
                   bool& usesDynamicTexture) {
    ModelData data;
    const ModelData::Read read = readModelData(path, dynamicTextureName, data);
    if (read == ModelData::Unreadable) return false;
    if (read == ModelData::TooBig) {
        scene.release(loader);
        return false;
    }
    installModel(data, scene, loader, dynamicTexture, usesDynamicTexture);
    return true;
}

bool buildObjectArrays(const MeshObject& o, ObjectArrays& out) {
    out = ObjectArrays{};
    const bool textured = !o.texVertices.empty();
    const bool coloured = !o.vertexColours.empty();
    const bool normals = o.hasNormals != 0;
    try {
        for (const MeshFace& f : o.faces) {
            const uint32_t corners[3] = {f.a, f.b, f.c};
            const uint32_t texCorners[3] = {f.ta, f.tb, f.tc};
            const uint32_t colourCorners[3] = {f.ca, f.cb, f.cc};
            // A file must never make us read outside an array.
            if (!faceInRange(o, f, textured, coloured)) continue;
            for (int k = 0; k < 3; ++k) {
                const auto& p = o.vertices[corners[k]];
                out.positions.insert(out.positions.end(), p.begin(), p.end());
                if (textured) {
                    const auto& t = o.texVertices[texCorners[k]];
                    out.texCoords.insert(out.texCoords.end(), t.begin(), t.end());
                }
                if (coloured) {
                    const auto& c = o.vertexColours[colourCorners[k]];
                    out.colours.insert(out.colours.end(), c.begin(), c.end());
                }
                if (normals) out.normals.insert(out.normals.end(), f.normal, f.normal + 3);
            }
        }
    } catch (const std::bad_alloc&) {
        out = ObjectArrays{};
        return false;
    }
    return true;
}

void ModelScene::buildDrawArrays() {
    arrays.clear();
    try {
        arrays.resize(objects.size());
    } catch (const std::bad_alloc&) {
        arrays.clear();
        return;
    }
    for (size_t i = 0; i < objects.size(); ++i) buildObjectArrays(objects[i], arrays[i]);
}

void ModelScene::draw(GLuint overrideTexture) const {
    glPushMatrix();
    glTranslatef(translation[0], translation[1], translation[2]);
    glScalef(scale[0], scale[1], scale[2]);
    glRotatef(rotationAngle, rotationAxis[0], rotationAxis[1], rotationAxis[2]);
    glEnableClientState(GL_VERTEX_ARRAY);
    for (size_t i = 0; i < arrays.size() && i < objects.size(); ++i) {
        const ObjectArrays& a = arrays[i];
        if (a.corners() == 0) continue;
        const GLuint texture = overrideTexture ? overrideTexture : objects[i].textureName;
        if (texture) glBindTexture(GL_TEXTURE_2D, texture);
        else glDisable(GL_TEXTURE_2D);
        const bool texCoords = texture && !a.texCoords.empty();
        glVertexPointer(3, GL_FLOAT, 0, a.positions.data());
        if (texCoords) {
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(2, GL_FLOAT, 0, a.texCoords.data());
        }
        if (!a.colours.empty()) {
            glEnableClientState(GL_COLOR_ARRAY);
            glColorPointer(3, GL_FLOAT, 0, a.colours.data());
        }
        if (!a.normals.empty()) {
            glEnableClientState(GL_NORMAL_ARRAY);
            glNormalPointer(GL_FLOAT, 0, a.normals.data());
        }
        glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(a.corners()));
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_NORMAL_ARRAY);
        // As when each corner was given one by one, the last colour and normal stay current
        // for what is drawn next.
        if (!a.colours.empty()) glColor3fv(&a.colours[a.colours.size() - 3]);
        if (!a.normals.empty()) glNormal3fv(&a.normals[a.normals.size() - 3]);
        if (!texture) glEnable(GL_TEXTURE_2D);
    }
    glDisableClientState(GL_VERTEX_ARRAY);
    glPopMatrix();
}
