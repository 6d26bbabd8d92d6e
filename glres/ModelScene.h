#pragma once
// The model in memory: every geometry object of an ASE file with its arrays and texture, and
// the transform it is drawn with.

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "readers/AseReader.h"
#include "readers/TgaImage.h"
#include "platform/GlHeaders.h"

class TextureLoader;

// One object's triangles as OpenGL reads them from arrays: per corner, in face order, its
// position and, where the object has them, its texture coordinate, its colour and its face's
// normal. Faces with an index outside the object's lists are left out.
struct ObjectArrays {
    std::vector<float> positions;  // 3 a corner
    std::vector<float> texCoords;  // 2 a corner, when the object has texture vertices
    std::vector<float> colours;    // 3 a corner, when the object has vertex colours
    std::vector<float> normals;    // 3 a corner, when the object has normals
    size_t corners() const { return positions.size() / 3; }
};

// The arrays of one object; false when memory runs out (they are then empty).
bool buildObjectArrays(const MeshObject& object, ObjectArrays& arrays);

// The bitmap name that makes an object show the live picture of the player's window.
constexpr const char* kDynamicTextureName = "Vizorama.tga";

struct ModelScene {
    float translation[3] = {0, 0, 0};
    float scale[3] = {1, 1, 1};
    float rotationAngle = 0;
    float rotationAxis[3] = {0, 1, 0};
    std::vector<MeshObject> objects;
    uint32_t objectCount = 0;
    std::vector<ObjectArrays> arrays;  // one per object, built when the model is loaded

    // Draws every object at the transform: with its own texture, or with overrideTexture
    // for all when that is not 0. Saves and restores the modelview matrix.
    void draw(GLuint overrideTexture) const;

    // Builds the objects' arrays (done at the end of each load).
    void buildDrawArrays();

    // Deletes the objects' registered textures through loader (the dynamic texture is not
    // registered and stays), frees the objects and resets the transform.
    void release(TextureLoader& loader);
};

// Builds the model of an ASE file into scene, with each object's texture: none, the dynamic
// texture for objects whose bitmap is dynamicTextureName, or the named image file (see
// chooseModelTexture, beside the file at path), clamped when the material's transform is the identity and repeated
// otherwise. False when the file cannot be opened or holds no object (the scene is then
// untouched) or the objects cannot be allocated (the scene is then empty). readModelData and
// installModel in turn.
bool loadModelFile(const std::string& path, const std::string& dynamicTextureName,
                   ModelScene& scene, TextureLoader& loader, GLuint dynamicTexture,
                   bool& usesDynamicTexture);

// The geometry of every object of an ASE file's text, in file order, without textures: for each
// object the material at the object's own position, then the object's fields, its arrays, the
// material it refers to, and its mesh. tallies, when given, receives what each mesh pass met.
// False when the objects cannot be allocated; objects is then empty. Objects whose arrays would
// take the model's past a bound far beyond real models (or that memory cannot hold) get no
// arrays, and their entries are skipped. Pure: it may run on any thread.
bool readModelObjects(std::string_view text, const AseBlocks& blocks,
                      std::vector<MeshObject>& objects,
                      std::vector<MeshEntryTally>* tallies = nullptr);

// Reads a model file whole into text; false when it cannot be read or is far larger than any
// model (beyond 256 MB).
bool readModelFile(const std::string& path, std::string& text);

// The bytes an object's arrays take once allocated and built for drawing, from its counts
// (what readModelObjects bounds), counted in 64 bits whatever the width of size_t.
uint64_t modelArrayBytes(const MeshObject& object);

// Where a model's bitmap is found, relative to the model's folder (with its trailing separator;
// empty for the current directory): under its name as written (an absolute path, or one
// relative to that folder), or, when a name with folders does not open, under its file name
// alone, beside the model file.
enum class BitmapSource { AsNamed, ByFileName, Missing };
BitmapSource findBitmap(const std::string& folder, const std::string& bitmapName,
                        std::string& path);

// What an object's texture will be, worked out without OpenGL.
struct TextureChoice {
    enum Kind { None, Dynamic, File } kind = None;
    GLenum wrap = GL_CLAMP;  // GL_CLAMP when the texture transform is the identity, else GL_REPEAT
    BitmapSource source = BitmapSource::Missing;  // for File
    std::string path;                             // for File: the path that opens
};
// folder: the model's, as for findBitmap.
TextureChoice chooseModelTexture(const MeshObject& object, const std::string& dynamicTextureName,
                                 const std::string& folder = {});

// A model file read and decoded without OpenGL, on any thread: its objects with their draw
// arrays, each object's texture choice, and the pictures they wear, each decoded once. Its
// pictures become textures on the drawing thread, one at a time or all when it is installed.
struct ModelData {
    enum Read { Ok, Unreadable, TooBig };
    struct Picture {
        std::string path;
        GLenum wrap;
        TgaImage image;  // dropped once made into a texture
        bool decoded;    // else it wears no texture
        GLuint texture = 0;  // made by uploadPicture (0: none, or not yet)
        bool made = false;
    };
    std::vector<MeshObject> objects;
    std::vector<ObjectArrays> arrays;
    std::vector<TextureChoice> choices;  // one per object
    std::vector<int> pictureOf;          // one per object: its picture, or -1 for none
    std::vector<Picture> pictures;

    // Makes the next picture not yet made into a texture (the loader's filters and wrap set as
    // a model load sets them); false when none was left.
    bool uploadPicture(TextureLoader& loader);
    // Deletes the textures made and empties the data.
    void discard(TextureLoader& loader);
};

// Unreadable: the file cannot be read or holds no object; TooBig: the objects cannot be
// allocated. data is empty unless Ok.
ModelData::Read readModelData(const std::string& path, const std::string& dynamicTextureName,
                              ModelData& data);

// Replaces the scene's model (releasing the old one's textures) with data's, making the
// pictures not made yet; data is left empty.
void installModel(ModelData& data, ModelScene& scene, TextureLoader& loader,
                  GLuint dynamicTexture, bool& usesDynamicTexture);
