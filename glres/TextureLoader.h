#pragma once
// Turns TGA files into OpenGL textures with the parameters the caller set before the load, and
// keeps every texture it made so they can be deleted by name or all at once.

#include <string>
#include <vector>

#include "platform/GlHeaders.h"

struct TgaImage;

// The unpacking and texture-environment state every texture upload of the renderer expects
// (tight parameters, rows starting on multiples of 4 bytes, modulated textures).
void setUploadState();

class TextureLoader {
public:
    // The parameters of the next load: plain state, set by each caller before it loads.
    GLenum wrapS = GL_CLAMP;
    GLenum wrapT = GL_CLAMP;
    GLenum magFilter = GL_LINEAR;
    GLenum minFilter = GL_LINEAR;
    float priority = 1.0f;
    int texBits = 16;  // 16: the implementation picks the texel depth; 32: 8 bits a channel

    // A new texture from the TGA file, bound to nothing afterwards; 0 when the image cannot be
    // read.
    GLuint loadTexture(const std::string& path);
    // The same, keeping the decoded image in image (empty when it cannot be read).
    GLuint loadTexture(const std::string& path, TgaImage& image);

    // A new texture from an image already decoded (by readTga or readImageFile), with the same
    // parameters, depth and registration as loadTexture; bound to nothing afterwards.
    GLuint createTexture(const TgaImage& image);

    // Deletes every registered entry of name; a name never registered is left alone.
    void deleteTexture(GLuint name);

    // Deletes every registered texture but kept (0: none), which stays the only one listed.
    void deleteAllTextures(GLuint kept = 0);

    const std::vector<GLuint>& registeredTextures() const { return registered_; }

private:
    std::vector<GLuint> registered_;
};
