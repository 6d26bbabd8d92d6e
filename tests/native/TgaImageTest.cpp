#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>

#include "assets/TgaImage.h"
#include "tests/native/TestFiles.h"

namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out += static_cast<char>(v);
    return out;
}

std::vector<uint8_t> pixelsOf(const std::string& s) { return {s.begin(), s.end()}; }

// A 3 x 3 picture with a different colour in every pixel, rows from the top.
const std::vector<std::string> kRgbRows = {
    bytes({1, 2, 3, 4, 5, 6, 7, 8, 9}),
    bytes({10, 11, 12, 13, 14, 15, 16, 17, 18}),
    bytes({19, 20, 21, 22, 23, 24, 25, 26, 27}),
};
const std::vector<uint8_t> kRgbBottomFirst =
    pixelsOf(kRgbRows[2] + kRgbRows[1] + kRgbRows[0]);

int readBytes(const ScratchFolder& dir, const std::string& file, TgaImage& image) {
    writeTextFile(dir.path() + "image.tga", file);
    return readTga(dir.path() + "image.tga", image);
}

TEST(TgaImage, ReadsTrueColourPixelsRedFirstBottomRowFirst) {
    ScratchFolder dir;
    TgaImage image;
    // Stored blue, green, red, alpha, bottom row first.
    std::string stored = bytes({255, 0, 0, 128, 0, 255, 0, 255, 0, 0, 255, 0, 1, 2, 3, 4});
    ASSERT_EQ(readBytes(dir, tgaFile({0, 2, 2, 2, 32, 8}, stored), image), kTgaOk);
    EXPECT_EQ(image.width, 2u);
    EXPECT_EQ(image.height, 2u);
    EXPECT_EQ(image.pixelFormat, static_cast<GLenum>(GL_RGBA));
    EXPECT_EQ(image.internalFormat, static_cast<GLenum>(GL_RGBA8));
    EXPECT_EQ(image.pixels,
              pixelsOf(bytes({0, 0, 255, 128, 0, 255, 0, 255, 255, 0, 0, 0, 3, 2, 1, 4})));

    // 24 bits, a width whose rows are not a multiple of 4 bytes; the same image object, so
    // the earlier pixels must not survive.
    ASSERT_EQ(readBytes(dir, tgaFile({0, 2, 3, 3, 24, 0}, tgaPixels(kRgbRows, 3, false)), image),
              kTgaOk);
    EXPECT_EQ(image.width, 3u);
    EXPECT_EQ(image.height, 3u);
    EXPECT_EQ(image.pixelFormat, static_cast<GLenum>(GL_RGB));
    EXPECT_EQ(image.internalFormat, static_cast<GLenum>(GL_RGB8));
    EXPECT_EQ(image.pixels, kRgbBottomFirst);
}

TEST(TgaImage, SamePixelsWhateverTheRowOrderAndImageId) {
    ScratchFolder dir;
    std::vector<std::string> twoRows = {kRgbRows[0] + kRgbRows[1], kRgbRows[2] + kRgbRows[0]};
    struct Case {
        const char* name;
        std::vector<std::string> rows;
        TgaHeader header;
        bool topRowFirst;
        std::string imageId;
    };
    const Case cases[] = {
        {"3 rows bottom first", kRgbRows, {0, 2, 3, 3, 24, 0x00}, false, ""},
        {"3 rows top first", kRgbRows, {0, 2, 3, 3, 24, 0x20}, true, ""},
        {"3 rows, image ID", kRgbRows, {0, 2, 3, 3, 24, 0x00}, false, "0123456789"},
        {"3 rows top first, image ID", kRgbRows, {0, 2, 3, 3, 24, 0x20}, true, "ID"},
        // Bit 4 (right to left) and the alpha bits are not looked at.
        {"3 rows top first, other bits", kRgbRows, {0, 2, 3, 3, 24, 0x38}, true, ""},
        {"2 rows bottom first", twoRows, {0, 2, 6, 2, 24, 0x00}, false, ""},
        {"2 rows top first", twoRows, {0, 2, 6, 2, 24, 0x20}, true, std::string(255, 'x')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string bottomFirst;
        for (size_t i = c.rows.size(); i-- > 0;) bottomFirst += c.rows[i];
        TgaImage image;
        ASSERT_EQ(readBytes(dir, tgaFile(c.header, tgaPixels(c.rows, 3, c.topRowFirst), c.imageId),
                            image),
                  kTgaOk);
        EXPECT_EQ(image.pixels, pixelsOf(bottomFirst));
    }
}

TEST(TgaImage, RefusesFilesThatAreNotUncompressedTrueColour) {
    ScratchFolder dir;
    std::string four = std::string(16, '\7');
    struct Case {
        const char* name;
        std::string file;
        int status;
    };
    const Case cases[] = {
        {"colour-mapped", tgaFile({1, 1, 2, 2, 8, 0}, std::string(4, '\0')), kTgaNotTrueColour},
        {"colour map with type 2", tgaFile({1, 2, 2, 2, 32, 0}, four), kTgaNotTrueColour},
        {"grey-scale", tgaFile({0, 3, 2, 2, 8, 0}, std::string(4, '\0')), kTgaNotTrueColour},
        {"run-length true-colour", tgaFile({0, 10, 2, 2, 32, 0}, four), kTgaNotTrueColour},
        {"16 bits", tgaFile({0, 2, 2, 2, 16, 0}, std::string(8, '\0')), kTgaBadDepth},
        {"8 bits", tgaFile({0, 2, 2, 2, 8, 0}, std::string(4, '\0')), kTgaBadDepth},
        {"zero width", tgaFile({0, 2, 0, 2, 32, 0}, four), kTgaNoPixels},
        {"zero height", tgaFile({0, 2, 2, 0, 32, 0}, four), kTgaNoPixels},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TgaImage image;
        image.pixels.assign(12, 1);  // left from an earlier read
        EXPECT_EQ(readBytes(dir, c.file, image), c.status);
        EXPECT_TRUE(image.pixels.empty());
    }
    TgaImage image;
    image.pixels.assign(12, 1);
    EXPECT_EQ(readTga(dir.path() + "missing.tga", image), kTgaCannotOpen);
    EXPECT_TRUE(image.pixels.empty());
}

TEST(TgaImage, FilesShorterThanTheyAnnounceGiveNoPixels) {
    ScratchFolder dir;
    TgaImage image;
    std::string whole = tgaFile({0, 2, 3, 3, 24, 0}, tgaPixels(kRgbRows, 3, false), "id");
    // Cut inside the type bytes, inside the rest of the header, inside the image ID and inside
    // the pixels, down to one byte short.
    const std::pair<size_t, int> cuts[] = {
        {0, kTgaNotTrueColour}, {2, kTgaNotTrueColour}, {3, kTgaNoPixels},
        {17, kTgaNoPixels},     {19, kTgaNoPixels},     {20, kTgaNoPixels},
        {30, kTgaNoPixels},     {whole.size() - 1, kTgaNoPixels},
    };
    for (auto [length, status] : cuts) {
        SCOPED_TRACE(length);
        image.pixels.assign(27, 1);  // left from an earlier read
        image.width = 3;
        EXPECT_EQ(readBytes(dir, whole.substr(0, length), image), status);
        EXPECT_TRUE(image.pixels.empty());
        EXPECT_EQ(image.width, 0u);
    }
    // A cut header still says what it is when it can: a run-length type.
    EXPECT_EQ(readBytes(dir, tgaFile({0, 10, 3, 3, 24, 0}, "").substr(0, 5), image),
              kTgaNotTrueColour);

    // Bytes after the pixels (a TGA 2.0 footer, say) do no harm.
    ASSERT_EQ(readBytes(dir, whole + "TRUEVISION-XFILE.", image), kTgaOk);
    EXPECT_EQ(image.pixels, kRgbBottomFirst);

    // The largest size a header can announce, with almost nothing behind it: 16 GiB would
    // not even fit in size_t on a 32-bit build.
    for (unsigned depth : {24u, 32u}) {
        EXPECT_EQ(readBytes(dir, tgaFile({0, 2, 65535, 65535, depth, 0}, std::string(100, 'p')),
                            image),
                  kTgaNoPixels);
        EXPECT_TRUE(image.pixels.empty());
    }
}

// Files from another writer. ImageMagick keeps the stored row order and records it as the
// image's orientation, so only its -orient TopLeft output (top row first, bit 5 set) and a
// flipped picture in its default bottom-left output hold the picture the right way up.
TEST(TgaImage, ReadsImageMagickFiles) {
    if (!haveProgram("convert")) GTEST_SKIP() << "ImageMagick's convert is not installed";
    ScratchFolder dir;
    // The 3 x 3 picture, and a 3 x 2 one with alpha.
    writeTextFile(dir.path() + "rgb.ppm",
                  "P6\n3 3\n255\n" + kRgbRows[0] + kRgbRows[1] + kRgbRows[2]);
    std::string rgbaTop = bytes({1, 2, 3, 255, 16, 32, 48, 128, 64, 80, 96, 0});
    std::string rgbaBottom = bytes({170, 187, 204, 255, 17, 34, 51, 68, 153, 136, 119, 102});
    writeTextFile(dir.path() + "rgba.pam",
                  "P7\nWIDTH 3\nHEIGHT 2\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n" +
                      rgbaTop + rgbaBottom);

    struct Case {
        const char* source;
        const char* options;
        int status;
        std::vector<uint8_t> pixels;
    };
    const Case cases[] = {
        {"rgb.ppm", "-compress none -orient TopLeft", kTgaOk, kRgbBottomFirst},
        {"rgb.ppm", "-flip -compress none -orient BottomLeft", kTgaOk, kRgbBottomFirst},
        {"rgb.ppm", "-set comment hello -compress none -orient TopLeft", kTgaOk, kRgbBottomFirst},
        {"rgba.pam", "-compress none -orient TopLeft", kTgaOk, pixelsOf(rgbaBottom + rgbaTop)},
        {"rgba.pam", "-flip -compress none", kTgaOk, pixelsOf(rgbaBottom + rgbaTop)},
        {"rgba.pam", "-compress RLE", kTgaNotTrueColour, {}},
        {"rgb.ppm", "-colorspace Gray -compress none", kTgaNotTrueColour, {}},
        {"rgb.ppm", "-type Palette -compress none", kTgaNotTrueColour, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.source) + " " + c.options);
        std::string out = dir.path() + "out.tga";
        std::string command = std::string("convert '") + dir.path() + c.source + "' " +
                              c.options + " 'tga:" + out + "'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        TgaImage image;
        EXPECT_EQ(readTga(out, image), c.status);
        EXPECT_EQ(image.pixels, c.pixels);
    }
}

}  // namespace
