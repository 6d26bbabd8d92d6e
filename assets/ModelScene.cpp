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
    scene.buildDrawArrays();
    return true;
}

bool buildObjectArrays(const MeshObject& o, ObjectArrays& out) {
    out = ObjectArrays{};
    const bool textured = !o.texVertices.empty();
    const bool coloured = !o.vertexColours.empty();
    const bool normals = o.hasNormals != 0;
    auto inside = [](uint32_t i, size_t count) { return i < count; };
    try {
        for (const MeshFace& f : o.faces) {
            const uint32_t corners[3] = {f.a, f.b, f.c};
            const uint32_t texCorners[3] = {f.ta, f.tb, f.tc};
            const uint32_t colourCorners[3] = {f.ca, f.cb, f.cc};
            bool ok = true;
            for (int k = 0; k < 3; ++k)
                ok = ok && inside(corners[k], o.vertices.size()) &&
                     (!textured || inside(texCorners[k], o.texVertices.size())) &&
                     (!coloured || inside(colourCorners[k], o.vertexColours.size()));
            if (!ok) continue;  // a file must never make us read outside an array
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
