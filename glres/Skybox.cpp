#include "glres/Skybox.h"

#include "glres/TextureLoader.h"
#include "settings/Settings.h"

namespace {

struct Corner {
    float s, t, x, y, z;
};

// Each face one strip of four corners; the side pictures are cut at y = 0 between the lists.
const Corner kUpper[5][4] = {
    {{0, 0.5f, 1, 0, -1}, {1, 0.5f, 1, 0, 1}, {0, 1, 1, 1, -1}, {1, 1, 1, 1, 1}},        // Left
    {{0, 0.5f, -1, 0, 1}, {1, 0.5f, -1, 0, -1}, {0, 1, -1, 1, 1}, {1, 1, -1, 1, -1}},    // Right
    {{0, 0.5f, 1, 0, 1}, {1, 0.5f, -1, 0, 1}, {0, 1, 1, 1, 1}, {1, 1, -1, 1, 1}},        // Back
    {{0, 0.5f, -1, 0, -1}, {1, 0.5f, 1, 0, -1}, {0, 1, -1, 1, -1}, {1, 1, 1, 1, -1}},    // Front
    {{1, 0, -1, 1, -1}, {1, 1, 1, 1, -1}, {0, 0, -1, 1, 1}, {0, 1, 1, 1, 1}},            // Up
};
const Corner kLower[5][4] = {
    {{0, 0, 1, -1, -1}, {1, 0, 1, -1, 1}, {0, 0.5f, 1, 0, -1}, {1, 0.5f, 1, 0, 1}},      // Left
    {{0, 0, -1, -1, 1}, {1, 0, -1, -1, -1}, {0, 0.5f, -1, 0, 1}, {1, 0.5f, -1, 0, -1}},  // Right
    {{0, 0, 1, -1, 1}, {1, 0, -1, -1, 1}, {0, 0.5f, 1, 0, 1}, {1, 0.5f, -1, 0, 1}},      // Back
    {{0, 0, -1, -1, -1}, {1, 0, 1, -1, -1}, {0, 0.5f, -1, 0, -1}, {1, 0.5f, 1, 0, -1}},  // Front
    {{0, 1, -1, -1, 1}, {0, 0, 1, -1, 1}, {1, 1, -1, -1, -1}, {1, 0, 1, -1, -1}},        // Down
};

// Faces Left, Right, Back, Front and then the top (upper list) or bottom (lower list) face.
GLuint compile(const Corner (&faces)[5][4], const GLuint (&textures)[6], int capFace) {
    GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glColor3f(1, 1, 1);
    for (int f = 0; f < 5; ++f) {
        glBindTexture(GL_TEXTURE_2D, textures[f < 4 ? f : capFace]);
        glBegin(GL_TRIANGLE_STRIP);
        for (const Corner& c : faces[f]) {
            glTexCoord2f(c.s, c.t);
            glVertex3f(c.x, c.y, c.z);
        }
        glEnd();
    }
    glEndList();
    return list;
}

}  // namespace

bool Skybox::wantsLoad(bool force) const {
    const Choice<TextStamp>& name = settings_.bgrName;
    return force || (loadedName.differsFrom(name) && !name.empty() && settings_.bgrOnOff != 0);
}

namespace {
const char* const kFaces[6] = {"Left.tga", "Right.tga", "Back.tga", "Front.tga", "Up.tga", "Down.tga"};

void setFaceParameters(TextureLoader& loader) {
    loader.wrapS = loader.wrapT = GL_CLAMP_TO_EDGE;
    loader.magFilter = loader.minFilter = GL_LINEAR;
}
}  // namespace

void readSkyData(const std::string& folder, SkyData& data) {
    data = SkyData{};
    if (folder.empty()) return;
    for (int i = 0; i < 6; ++i) data.decoded[i] = readTga(folder + kFaces[i], data.faces[i]) == kTgaOk;
}

bool SkyData::uploadFace(TextureLoader& loader) {
    if (made == 6) return false;
    setFaceParameters(loader);
    if (decoded[made]) textures[made] = loader.createTexture(faces[made]);
    faces[made] = TgaImage{};
    ++made;
    return true;
}

void SkyData::discard(TextureLoader& loader) {
    for (GLuint name : textures)
        if (name) loader.deleteTexture(name);
    *this = SkyData{};
}

void Skybox::load(TextureLoader& loader, SkyData& data) {
    loadedName.take(settings_.bgrName);
    release();
    textureLoader = &loader;
    while (data.uploadFace(loader)) {
    }
    for (int i = 0; i < 6; ++i) faceTextures[i] = data.textures[i];
    upperList = compile(kUpper, faceTextures, 4);
    lowerList = compile(kLower, faceTextures, 5);
    data = SkyData{};
}

void Skybox::load(TextureLoader& loader, const std::string& folder) {
    loadedName.take(settings_.bgrName);
    std::string paths[6];
    const char* files[6] = {};
    if (!folder.empty())
        for (int i = 0; i < 6; ++i) {
            paths[i] = folder + kFaces[i];
            files[i] = paths[i].c_str();
        }
    build(loader, files);
}

void Skybox::build(TextureLoader& loader, const char* const faceFiles[6]) {
    release();
    textureLoader = &loader;
    setFaceParameters(loader);
    for (int i = 0; i < 6; ++i)
        faceTextures[i] = faceFiles[i] ? loader.loadTexture(faceFiles[i]) : 0;
    upperList = compile(kUpper, faceTextures, 4);
    lowerList = compile(kLower, faceTextures, 5);
}

void Skybox::release() {
    if (textureLoader)
        for (GLuint& name : faceTextures) {
            textureLoader->deleteTexture(name);
            name = 0;
        }
    if (upperList) glDeleteLists(upperList, 1);
    if (lowerList) glDeleteLists(lowerList, 1);
    upperList = lowerList = 0;
}

bool Skybox::showsCurrentName() const {
    return settings_.bgrOnOff != 0 && !loadedName.differsFrom(settings_.bgrName);
}
