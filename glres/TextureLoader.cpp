#include "glres/TextureLoader.h"

#include <algorithm>
#include <cstdint>

#include "readers/TgaImage.h"

namespace {

// With an unpack alignment of 4, a 24-bit image whose rows are not a multiple of 4 bytes long
// (a width not divisible by 4) would be read skewed and past the end of its pixels. Such an
// image gets a copy with each row padded to 4 bytes; for any other the result is empty and the
// pixels are uploaded as they are.
std::vector<uint8_t> rowsForUpload(const TgaImage& image) {
    if (image.height == 0) return {};
    size_t stride = image.pixels.size() / image.height;
    size_t padded = (stride + 3) / 4 * 4;
    if (padded == stride) return {};
    std::vector<uint8_t> rows(padded * image.height);
    for (size_t y = 0; y < image.height; ++y)
        std::copy_n(image.pixels.begin() + y * stride, stride, rows.begin() + y * padded);
    return rows;
}

}  // namespace

void setUploadState() {
    // With this unpacking state OpenGL takes each row to start on a multiple of 4 bytes (see
    // rowsForUpload).
    glPixelStorei(GL_UNPACK_SWAP_BYTES, 0);
    glPixelStorei(GL_UNPACK_LSB_FIRST, 0);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

GLuint TextureLoader::loadTexture(const std::string& path) {
    TgaImage image;
    return loadTexture(path, image);
}

GLuint TextureLoader::loadTexture(const std::string& path, TgaImage& image) {
    if (readTga(path, image) != kTgaOk) return 0;
    return createTexture(image);
}

GLuint TextureLoader::createTexture(const TgaImage& image) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLint>(wrapS));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLint>(wrapT));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(magFilter));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(minFilter));
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_PRIORITY, priority);

    setUploadState();

    // 16 lets the implementation choose the texel depth (an unsized format); 32 asks for
    // 8 bits a channel. Any other setting leaves the texture without an image.
    const bool alpha = image.channels == 4;
    const GLenum pixelFormat = alpha ? GL_RGBA : GL_RGB;
    GLint internalFormat = 0;
    if (texBits == 16) internalFormat = static_cast<GLint>(pixelFormat);
    else if (texBits == 32) internalFormat = alpha ? GL_RGBA8 : GL_RGB8;
    if (internalFormat != 0) {
        std::vector<uint8_t> padded = rowsForUpload(image);
        glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, static_cast<GLsizei>(image.width),
                     static_cast<GLsizei>(image.height), 0, pixelFormat, GL_UNSIGNED_BYTE,
                     padded.empty() ? image.pixels.data() : padded.data());
    }

    glBindTexture(GL_TEXTURE_2D, 0);
    registered_.push_back(name);
    return name;
}

void TextureLoader::deleteTexture(GLuint name) {
    for (GLuint entry : registered_)
        if (entry == name) glDeleteTextures(1, &entry);
    registered_.erase(std::remove(registered_.begin(), registered_.end(), name),
                      registered_.end());
}

void TextureLoader::deleteAllTextures(GLuint kept) {
    bool keeps = false;
    for (GLuint entry : registered_) {
        if (entry != 0 && entry == kept) keeps = true;
        else if (entry != 0) glDeleteTextures(1, &entry);
    }
    registered_.clear();
    if (keeps) registered_.push_back(kept);
}
