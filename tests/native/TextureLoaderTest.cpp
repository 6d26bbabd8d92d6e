#include <gtest/gtest.h>

#include <stb_image_write.h>

#include <string>

#include "readers/ImageFile.h"
#include "glres/TextureLoader.h"
#include "readers/TgaImage.h"
#include "platform/headless/OffscreenContext.h"
#include "tests/native/TestFiles.h"

namespace {

std::vector<uint8_t> bytesOf(const std::string& s) { return {s.begin(), s.end()}; }

// A 3 x 2 picture (rows of 9 bytes, not a multiple of 4) and a 2 x 2 one with alpha, rows
// from the top.
const std::vector<std::string> kRgbRows = {"abcdefghi", "jklmnopqr"};
const std::vector<std::string> kRgbaRows = {"ABCDEFGH", "IJKLMNOP"};

GLint integer(GLenum state) {
    GLint value = -1;
    glGetIntegerv(state, &value);
    return value;
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
    GLint count = levelParameter(name, GL_TEXTURE_WIDTH) * levelParameter(name, GL_TEXTURE_HEIGHT);
    std::vector<uint8_t> out(static_cast<size_t>(count) * (format == GL_RGBA ? 4 : 3));
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, out.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return out;
}

class TextureLoaderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(gl.ok()); }
    std::string write(const std::string& name, const std::string& data) {
        writeTextFile(dir.path() + name, data);
        return dir.path() + name;
    }
    OffscreenContext gl{64, 64};
    ScratchFolder dir;
    std::string rgba =
        write("rgba.tga", tgaFile({0, 2, 2, 2, 32, 0}, tgaPixels(kRgbaRows, 4, false)));
};

// Odd-width 24-bit rows, bottom or top first, after an image ID, and 32-bit ones; as they
// come, or 8 bits a channel; any other texBits gives a texture without an image, registered
// all the same. Whatever the state left behind: another texture bound, other unpacking and
// texture environment settings.
TEST_F(TextureLoaderTest, UploadsEveryLayoutWithItsParametersAtTheDepthOfTexBits) {
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
    loader.minFilter = GL_NEAREST_MIPMAP_NEAREST;
    loader.priority = 0.25f;

    const std::pair<std::string, GLenum> files[] = {
        {write("b.tga", tgaFile({0, 2, 3, 2, 24, 0}, tgaPixels(kRgbRows, 3, false), "ID")), GL_RGB},
        {write("t.tga", tgaFile({0, 2, 3, 2, 24, 0x20}, tgaPixels(kRgbRows, 3, true))), GL_RGB},
        {rgba, GL_RGBA},
    };
    for (int texBits : {16, 32}) {
        loader.texBits = texBits;
        for (const auto& [path, format] : files) {
            SCOPED_TRACE(path + " at " + std::to_string(texBits));
            GLuint name = loader.loadTexture(path);
            ASSERT_NE(name, 0u);
            EXPECT_NE(name, other);
            EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), 0);
            // OSMesa reports the internal format as it was requested.
            GLint sized = format == GL_RGB ? GL_RGB8 : GL_RGBA8;
            EXPECT_EQ(levelParameter(name, GL_TEXTURE_INTERNAL_FORMAT),
                      texBits == 16 ? static_cast<GLint>(format) : sized);
            const auto& rows = format == GL_RGB ? kRgbRows : kRgbaRows;
            EXPECT_EQ(texels(name, format), bytesOf(rows[1] + rows[0]));
            glBindTexture(GL_TEXTURE_2D, name);
            for (auto [parameter, expected] :
                 {std::pair<GLenum, GLfloat>{GL_TEXTURE_WRAP_S, GL_REPEAT},
                  {GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE},
                  {GL_TEXTURE_MAG_FILTER, GL_NEAREST},
                  {GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_NEAREST},
                  {GL_TEXTURE_PRIORITY, 0.25f}}) {
                GLfloat value = -1;
                glGetTexParameterfv(GL_TEXTURE_2D, parameter, &value);
                EXPECT_EQ(value, expected) << parameter;
            }
            glBindTexture(GL_TEXTURE_2D, 0);
        }
    }
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_MODULATE);
    EXPECT_EQ(integer(GL_UNPACK_ROW_LENGTH), 0);
    EXPECT_EQ(integer(GL_UNPACK_SKIP_PIXELS), 0);
    EXPECT_EQ(integer(GL_UNPACK_ALIGNMENT), 4);

    for (int texBits : {0, 24, 8}) {
        loader.texBits = texBits;
        GLuint name = loader.loadTexture(rgba);
        ASSERT_NE(name, 0u);
        EXPECT_TRUE(glIsTexture(name));
        EXPECT_EQ(levelParameter(name, GL_TEXTURE_WIDTH), 0);
        EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), 0);
    }
    EXPECT_EQ(loader.registeredTextures().size(), 9u);
}

TEST_F(TextureLoaderTest, FailedLoadsMakeNoTextureAndDeletesTouchOnlyItsOwn) {
    std::string pixels = tgaPixels(kRgbaRows, 4, false);
    const std::string files[] = {
        tgaFile({0, 10, 2, 2, 32, 0}, pixels),               // run-length
        tgaFile({0, 2, 2, 2, 16, 0}, std::string(8, '\0')),  // 16 bits
        tgaFile({0, 2, 2, 2, 32, 0}, pixels.substr(1)),      // one byte short
    };
    // Names come one after another, so a name made and left behind would show as a gap.
    GLuint foreign = 0;
    glGenTextures(1, &foreign);
    glBindTexture(GL_TEXTURE_2D, foreign);
    TextureLoader loader;
    for (const std::string& file : files) EXPECT_EQ(loader.loadTexture(write("bad.tga", file)), 0u);
    EXPECT_EQ(loader.loadTexture(dir.path() + "missing.tga"), 0u);
    EXPECT_TRUE(loader.registeredTextures().empty());
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(foreign));
    glBindTexture(GL_TEXTURE_2D, 0);

    GLuint a = loader.loadTexture(rgba), b = loader.loadTexture(rgba);
    EXPECT_EQ(a, foreign + 1);
    loader.texBits = 0;
    GLuint empty = loader.loadTexture(rgba);
    // A texture the loader did not make, a name nobody made, and 0.
    for (GLuint name : {foreign, foreign + 100, 0u}) loader.deleteTexture(name);
    EXPECT_TRUE(glIsTexture(foreign));
    EXPECT_EQ(loader.registeredTextures(), (std::vector<GLuint>{a, b, empty}));

    loader.deleteTexture(b);
    EXPECT_FALSE(glIsTexture(b));
    EXPECT_TRUE(glIsTexture(a));
    EXPECT_EQ(loader.registeredTextures(), (std::vector<GLuint>{a, empty}));

    // All but one kept (a name the loader did not make keeps nothing), then all.
    loader.deleteAllTextures(empty);
    EXPECT_EQ(loader.registeredTextures(), std::vector<GLuint>{empty});
    EXPECT_FALSE(glIsTexture(a));
    loader.deleteAllTextures(foreign);
    EXPECT_TRUE(loader.registeredTextures().empty());
    EXPECT_FALSE(glIsTexture(empty));
    EXPECT_TRUE(glIsTexture(foreign));
}

// PNG, JPEG and BMP pictures come through stb_image in the TGA layout (red first, bottom row
// first, alpha only when the picture has some) and become textures by the loader's rules; TGA
// files keep our own reader; damaged or oversized pictures give no image.
TEST_F(TextureLoaderTest, DecodesPngJpegAndBmpIntoTheTgaLayout) {
    const std::string rgbaTop = kRgbaRows[0] + kRgbaRows[1], rgbTop = kRgbRows[0] + kRgbRows[1];
    const std::string png = dir.path() + "a.png", bmp = dir.path() + "b.bmp",
                      jpg = dir.path() + "c.jpg", wide = dir.path() + "wide.png";
    ASSERT_TRUE(stbi_write_png(png.c_str(), 2, 2, 4, rgbaTop.data(), 8));
    ASSERT_TRUE(stbi_write_bmp(bmp.c_str(), 3, 2, 3, rgbTop.data()));
    ASSERT_TRUE(stbi_write_jpg(jpg.c_str(), 3, 2, 3, rgbTop.data(), 90));
    std::vector<uint8_t> row(3 * (kMaxDecodedSide + 1), 0);
    ASSERT_TRUE(stbi_write_png(wide.c_str(), kMaxDecodedSide + 1, 1, 3, row.data(), 0));

    TextureLoader loader;
    loader.texBits = 32;
    TgaImage image;
    ImageFormat format;
    for (auto [path, expected, rows, pixelFormat] :
         {std::tuple{png, ImageFormat::Png, kRgbaRows, GL_RGBA},
          {bmp, ImageFormat::Bmp, kRgbRows, GL_RGB},
          {rgba, ImageFormat::Tga, kRgbaRows, GL_RGBA}}) {
        SCOPED_TRACE(path);
        ASSERT_EQ(readImageFile(path, image, format), kTgaOk);
        EXPECT_EQ(format, expected);
        EXPECT_EQ(image.channels, pixelFormat == GL_RGBA ? 4u : 3u);
        EXPECT_EQ(image.pixels, bytesOf(rows[1] + rows[0]));
        GLuint name = loader.createTexture(image);
        EXPECT_EQ(levelParameter(name, GL_TEXTURE_INTERNAL_FORMAT),
                  pixelFormat == GL_RGBA ? GL_RGBA8 : GL_RGB8);
        EXPECT_EQ(texels(name, static_cast<GLenum>(pixelFormat)), image.pixels);
    }
    ASSERT_EQ(readImageFile(jpg, image, format), kTgaOk);  // lossy: only its shape is known
    EXPECT_EQ(format, ImageFormat::Jpeg);
    EXPECT_EQ(image.width * 10 + image.height, 32u);
    EXPECT_EQ(image.pixels.size(), 18u);

    // Damaged pictures give a whole picture or none: each file cut at every byte (a decoder may
    // take a cut picture's missing end for black), garbage after each signature; and these
    // give none: a JPEG Huffman table of more than 256 codes (which the stb_image we build with
    // would write past its end), a scan naming tables never defined (which it would read past),
    // a PNG as large as a header can say or with an empty first data chunk (which it would copy
    // from nowhere), and a BMP without rows (which it takes for a picture).
    std::vector<std::pair<std::string, bool>> damaged;
    for (const std::string& path : {png, jpg, bmp}) {
        const std::string whole = readTextFile(path);
        for (size_t length = 8; length < whole.size(); ++length)
            damaged.push_back({whole.substr(0, length), false});
    }
    for (const char* signature : {"\x89PNG\r\n\x1a\n", "\xff\xd8\xff", "BM"})
        damaged.push_back({signature + std::string(300, '\xa5'), false});
    damaged.push_back({std::string("\xff\xd8\xff\xc4\x00\x13\x00", 7) + std::string(16, '\x11'), true});
    std::string vast = readTextFile(png);
    vast.replace(16, 8, std::string("\x7f\xff\xff\xff\x7f\xff\xff\xff", 8));
    damaged.push_back({vast, true});
    std::string undefinedTables = readTextFile(jpg);
    undefinedTables[undefinedTables.find("\xff\xda") + 6] = '\x23';  // scan tables 2 and 3
    damaged.push_back({undefinedTables, true});
    std::string emptyData = readTextFile(png);
    emptyData.insert(emptyData.find("IDAT") - 4, std::string("\0\0\0\0IDAT\0\0\0\0", 12));
    damaged.push_back({emptyData, true});
    std::string rowless = readTextFile(bmp);
    rowless.replace(22, 4, std::string(4, '\0'));  // a BMP 3 pixels wide and 0 high
    damaged.push_back({rowless, true});
    for (const auto& [file, fails] : damaged) {
        SCOPED_TRACE(file.size());
        writeTextFile(dir.path() + "bad", file);
        const int status = readImageFile(dir.path() + "bad", image, format);
        const size_t channels = image.channels;
        if (status == kTgaOk && !fails)
            EXPECT_EQ(image.pixels.size(), size_t{image.width} * image.height * channels);
        else
            EXPECT_TRUE(status == kImageUndecodable && image.pixels.empty()) << status;
    }
    // Pictures larger than a texture can be are refused before decoding: a PNG one pixel too
    // wide, and a JPEG of a few hundred bytes announcing 8192 x 8192 (256 MB decoded); the
    // largest side itself decodes.
    EXPECT_EQ(readImageFile(wide, image, format), kImageUndecodable);
    std::string huge = readTextFile(jpg);
    const size_t frame = huge.find("\xff\xc0");
    ASSERT_NE(frame, std::string::npos);
    huge.replace(frame + 5, 4, std::string("\x20\x00\x20\x00", 4));
    writeTextFile(dir.path() + "huge.jpg", huge);
    EXPECT_EQ(readImageFile(dir.path() + "huge.jpg", image, format), kImageUndecodable);
    EXPECT_TRUE(image.pixels.empty());
    ASSERT_TRUE(stbi_write_png(wide.c_str(), kMaxDecodedSide, 1, 3, row.data(), 0));
    EXPECT_EQ(readImageFile(wide, image, format), kTgaOk);
    EXPECT_EQ(image.width, 4096u);
    EXPECT_EQ(readImageFile(dir.path() + "none.png", image, format), kTgaCannotOpen);
}

}  // namespace
