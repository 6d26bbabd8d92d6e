#include <gtest/gtest.h>

#include <initializer_list>

#include "assets/TextureLoader.h"
#include "assets/TgaImage.h"
#include "platform/headless/OffscreenContext.h"
#include "tests/native/TestFiles.h"

namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out += static_cast<char>(v);
    return out;
}

// A 3 x 2 picture (rows of 9 bytes, not a multiple of 4) and a 2 x 2 one with alpha, rows
// from the top.
const std::vector<std::string> kRgbRows = {
    bytes({1, 2, 3, 4, 5, 6, 7, 8, 9}),
    bytes({10, 11, 12, 13, 14, 15, 16, 17, 18}),
};
const std::vector<std::string> kRgbaRows = {
    bytes({255, 0, 0, 128, 0, 255, 0, 255}),
    bytes({0, 0, 255, 0, 9, 8, 7, 6}),
};

std::string writeFile(const ScratchFolder& dir, const std::string& name, const std::string& data) {
    writeTextFile(dir.path() + name, data);
    return dir.path() + name;
}

GLint boundTexture() {
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    return bound;
}

GLint levelParameter(GLuint name, GLenum parameter) {
    glBindTexture(GL_TEXTURE_2D, name);
    GLint value = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, parameter, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

// Level 0 of the texture, rows bottom first, tightly packed.
std::vector<uint8_t> texels(GLuint name, GLenum format) {
    GLint width = levelParameter(name, GL_TEXTURE_WIDTH);
    GLint height = levelParameter(name, GL_TEXTURE_HEIGHT);
    std::vector<uint8_t> out(static_cast<size_t>(width * height) * (format == GL_RGBA ? 4 : 3));
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, out.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return out;
}

// What this context reports for a texture made with the given internal format, so the tests
// can tell an unsized request from a sized one whatever the implementation reports for each.
GLint reportedInternalFormat(GLint requested) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    uint8_t texel[4] = {};
    glTexImage2D(GL_TEXTURE_2D, 0, requested, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, texel);
    GLint reported = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &reported);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDeleteTextures(1, &name);
    return reported;
}

TEST(TextureLoader, MakesATextureWithTheParametersSetAndUnbindsIt) {
    OffscreenContext gl(64, 64);
    ASSERT_TRUE(gl.ok());
    ScratchFolder dir;
    std::string path = writeFile(dir, "rgba.tga", tgaFile({0, 2, 2, 2, 32, 0},
                                                          tgaPixels(kRgbaRows, 4, false)));
    // State a caller might have left behind: another texture bound, other unpacking and
    // texture environment settings.
    GLuint other = 0;
    glGenTextures(1, &other);
    glBindTexture(GL_TEXTURE_2D, other);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 7);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);

    TextureLoader loader;
    loader.wrapS = GL_REPEAT;
    loader.wrapT = GL_CLAMP_TO_EDGE;
    loader.magFilter = GL_NEAREST;
    loader.minFilter = GL_NEAREST;
    loader.priority = 0.25f;
    GLuint name = loader.loadTexture(path);
    ASSERT_NE(name, 0u);
    EXPECT_NE(name, other);
    EXPECT_EQ(boundTexture(), 0);
    EXPECT_EQ(loader.registeredTextures(), std::vector<GLuint>{name});

    glBindTexture(GL_TEXTURE_2D, name);
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
    EXPECT_EQ(value, GL_REPEAT);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
    EXPECT_EQ(value, GL_CLAMP_TO_EDGE);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
    EXPECT_EQ(value, GL_NEAREST);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(value, GL_NEAREST);
    GLfloat priority = 0;
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_PRIORITY, &priority);
    EXPECT_FLOAT_EQ(priority, 0.25f);
    glBindTexture(GL_TEXTURE_2D, 0);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &value);
    EXPECT_EQ(value, GL_MODULATE);
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &value);
    EXPECT_EQ(value, 4);

    EXPECT_EQ(levelParameter(name, GL_TEXTURE_WIDTH), 2);
    EXPECT_EQ(levelParameter(name, GL_TEXTURE_HEIGHT), 2);
    EXPECT_EQ(levelParameter(name, GL_TEXTURE_INTERNAL_FORMAT), reportedInternalFormat(GL_RGBA));
    EXPECT_EQ(texels(name, GL_RGBA),
              std::vector<uint8_t>({0, 0, 255, 0, 9, 8, 7, 6, 255, 0, 0, 128, 0, 255, 0, 255}));

    // The defaults: clamp, linear, priority 1.
    TextureLoader defaults;
    GLuint plain = defaults.loadTexture(path);
    ASSERT_NE(plain, 0u);
    glBindTexture(GL_TEXTURE_2D, plain);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
    EXPECT_EQ(value, GL_CLAMP);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
    glGetTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_PRIORITY, &priority);
    EXPECT_FLOAT_EQ(priority, 1.0f);
    glBindTexture(GL_TEXTURE_2D, 0);
}

TEST(TextureLoader, SameTextureWhateverTheFileLayout) {
    OffscreenContext gl(64, 64);
    ASSERT_TRUE(gl.ok());
    ScratchFolder dir;
    TextureLoader loader;
    std::vector<uint8_t> expected;
    for (auto it = kRgbRows.rbegin(); it != kRgbRows.rend(); ++it)
        expected.insert(expected.end(), it->begin(), it->end());

    const std::string files[] = {
        tgaFile({0, 2, 3, 2, 24, 0x00}, tgaPixels(kRgbRows, 3, false), "ten bytes!"),
        tgaFile({0, 2, 3, 2, 24, 0x20}, tgaPixels(kRgbRows, 3, true)),
    };
    for (int texBits : {16, 32}) {
        loader.texBits = texBits;
        for (const std::string& file : files) {
            SCOPED_TRACE(texBits);
            GLuint name = loader.loadTexture(writeFile(dir, "rgb.tga", file));
            ASSERT_NE(name, 0u);
            EXPECT_EQ(levelParameter(name, GL_TEXTURE_WIDTH), 3);
            EXPECT_EQ(texels(name, GL_RGB), expected);
        }
    }
}

TEST(TextureLoader, TexelDepthFollowsTexBits) {
    OffscreenContext gl(64, 64);
    ASSERT_TRUE(gl.ok());
    GLint unsizedRgb = reportedInternalFormat(GL_RGB);
    GLint sizedRgb = reportedInternalFormat(GL_RGB8);
    GLint unsizedRgba = reportedInternalFormat(GL_RGBA);
    GLint sizedRgba = reportedInternalFormat(GL_RGBA8);
    if (unsizedRgb == sizedRgb || unsizedRgba == sizedRgba)
        GTEST_SKIP() << "this OpenGL reports unsized and sized formats alike";

    ScratchFolder dir;
    std::string rgb = writeFile(dir, "rgb.tga", tgaFile({0, 2, 3, 2, 24, 0},
                                                        tgaPixels(kRgbRows, 3, false)));
    std::string rgba = writeFile(dir, "rgba.tga", tgaFile({0, 2, 2, 2, 32, 0},
                                                          tgaPixels(kRgbaRows, 4, false)));
    TextureLoader loader;
    EXPECT_EQ(loader.texBits, 16);
    EXPECT_EQ(levelParameter(loader.loadTexture(rgb), GL_TEXTURE_INTERNAL_FORMAT), unsizedRgb);
    EXPECT_EQ(levelParameter(loader.loadTexture(rgba), GL_TEXTURE_INTERNAL_FORMAT), unsizedRgba);
    loader.texBits = 32;
    EXPECT_EQ(levelParameter(loader.loadTexture(rgb), GL_TEXTURE_INTERNAL_FORMAT), sizedRgb);
    EXPECT_EQ(levelParameter(loader.loadTexture(rgba), GL_TEXTURE_INTERNAL_FORMAT), sizedRgba);

    // Any other depth: a texture without an image, registered all the same.
    for (int texBits : {0, 24, 8}) {
        loader.texBits = texBits;
        GLuint name = loader.loadTexture(rgba);
        ASSERT_NE(name, 0u);
        EXPECT_TRUE(glIsTexture(name));
        EXPECT_EQ(levelParameter(name, GL_TEXTURE_WIDTH), 0);
        EXPECT_EQ(loader.registeredTextures().back(), name);
        EXPECT_EQ(boundTexture(), 0);
    }
    EXPECT_EQ(loader.registeredTextures().size(), 7u);
}

TEST(TextureLoader, UnreadableFilesMakeNoTexture) {
    OffscreenContext gl(64, 64);
    ASSERT_TRUE(gl.ok());
    ScratchFolder dir;
    std::string pixels = tgaPixels(kRgbaRows, 4, false);
    const std::string files[] = {
        tgaFile({0, 10, 2, 2, 32, 0}, pixels),               // run-length
        tgaFile({0, 3, 2, 2, 8, 0}, std::string(4, '\0')),   // grey-scale
        tgaFile({0, 2, 2, 2, 16, 0}, std::string(8, '\0')),  // 16 bits
        tgaFile({0, 2, 2, 2, 32, 0}, pixels.substr(1)),      // one byte short
        tgaFile({0, 2, 65535, 65535, 32, 0}, pixels),        // 16 GiB announced
    };
    // Names come one after another, so a name made and left behind would show as a gap.
    GLuint before = 0;
    glGenTextures(1, &before);
    glBindTexture(GL_TEXTURE_2D, before);
    TextureLoader loader;
    for (const std::string& file : files)
        EXPECT_EQ(loader.loadTexture(writeFile(dir, "bad.tga", file)), 0u);
    EXPECT_EQ(loader.loadTexture(dir.path() + "missing.tga"), 0u);
    EXPECT_TRUE(loader.registeredTextures().empty());
    EXPECT_EQ(boundTexture(), static_cast<GLint>(before));
    GLuint after = 0;
    glGenTextures(1, &after);
    EXPECT_EQ(after, before + 1);
}

TEST(TextureLoader, DeletesOnlyRegisteredTextures) {
    OffscreenContext gl(64, 64);
    ASSERT_TRUE(gl.ok());
    ScratchFolder dir;
    std::string path = writeFile(dir, "rgba.tga", tgaFile({0, 2, 2, 2, 32, 0},
                                                          tgaPixels(kRgbaRows, 4, false)));
    TextureLoader loader;
    GLuint a = loader.loadTexture(path);
    GLuint b = loader.loadTexture(path);
    loader.texBits = 0;
    GLuint empty = loader.loadTexture(path);
    ASSERT_TRUE(a && b && empty);
    EXPECT_EQ(loader.registeredTextures(), (std::vector<GLuint>{a, b, empty}));

    // A texture the loader did not make, and a name nobody made.
    GLuint foreign = 0;
    glGenTextures(1, &foreign);
    glBindTexture(GL_TEXTURE_2D, foreign);
    glBindTexture(GL_TEXTURE_2D, 0);
    loader.deleteTexture(foreign);
    loader.deleteTexture(foreign + 100);
    loader.deleteTexture(0);
    EXPECT_TRUE(glIsTexture(foreign));
    EXPECT_EQ(loader.registeredTextures(), (std::vector<GLuint>{a, b, empty}));

    loader.deleteTexture(b);
    EXPECT_FALSE(glIsTexture(b));
    EXPECT_TRUE(glIsTexture(a));
    EXPECT_EQ(loader.registeredTextures(), (std::vector<GLuint>{a, empty}));
    loader.deleteTexture(b);  // a second time: no longer registered
    EXPECT_EQ(loader.registeredTextures(), (std::vector<GLuint>{a, empty}));

    loader.deleteAllTextures();
    EXPECT_TRUE(loader.registeredTextures().empty());
    EXPECT_FALSE(glIsTexture(a));
    EXPECT_FALSE(glIsTexture(empty));
    EXPECT_TRUE(glIsTexture(foreign));

    // Loading again after the list was emptied starts a new one.
    GLuint again = loader.loadTexture(path);
    EXPECT_EQ(loader.registeredTextures(), std::vector<GLuint>{again});
    loader.deleteAllTextures();
    EXPECT_FALSE(glIsTexture(again));
}

}  // namespace
