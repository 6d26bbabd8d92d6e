#pragma once
// The background: a cube around the viewer with a picture on each face, from a folder of six
// TGA images (the "Skyboxes\<bgrName>\" that the front end finds), compiled into two display
// lists (the upper half with the top face, the lower half with the bottom face).

#include <string>

#include "platform/GlHeaders.h"
#include "readers/TgaImage.h"
#include "settings/Choices.h"

class Settings;
class TextureLoader;

// A sky folder's six pictures read and decoded without OpenGL, on any thread; they become
// textures on the drawing thread, one at a time or all when the sky is built from them.
struct SkyData {
    TgaImage faces[6];          // Left, Right, Back, Front, Up, Down; dropped once made
    bool decoded[6] = {};       // else the face stays white
    GLuint textures[6] = {};
    int made = 0;               // the faces made into textures so far, in order

    // Makes the next face into a texture (clamped to the edge, linear); false when none was left.
    bool uploadFace(TextureLoader& loader);
    // Deletes the textures made and empties the data.
    void discard(TextureLoader& loader);
};

// The six pictures of folder (with its trailing separator; empty: none, all white).
void readSkyData(const std::string& folder, SkyData& data);

class Skybox {
public:
    explicit Skybox(const Settings& settings) : settings_(settings) {}

    // Whether load() is due: forced, or bgrName changed, is not empty and the background is on.
    bool wantsLoad(bool force) const;

    // Loads the skybox that bgrName names from folder (its six pictures; a folder with its
    // trailing separator, empty for a missing one: white faces). The name is remembered first,
    // so a failing folder is not tried again until the name changes.
    void load(TextureLoader& loader, const std::string& folder);
    // The same from the folder's pictures read beforehand (readSkyData); data is left empty.
    void load(TextureLoader& loader, SkyData& data);

    // Replaces the face textures (Left, Right, Back, Front, Up, Down) and the display lists; a
    // null file name leaves its face white.
    void build(TextureLoader& loader, const char* const faceFiles[6]);

    // Deletes the textures and the lists (the context must be current).
    void release();

    // Whether the loaded skybox is the one the settings show.
    bool showsCurrentName() const;

    TextureLoader* textureLoader = nullptr;
    GLuint faceTextures[6] = {};
    GLuint upperList = 0;
    GLuint lowerList = 0;
    LoadedName loadedName;

private:
    const Settings& settings_;
};
