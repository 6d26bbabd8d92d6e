#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "assets/TgaImage.h"
#include "tests/native/TestFiles.h"

namespace {

std::vector<uint8_t> pixelsOf(const std::string& s) { return {s.begin(), s.end()}; }

// A 3 x 3 picture with a different colour in every pixel, rows from the top.
const std::vector<std::string> kRgbRows = {"abcdefghi", "jklmnopqr", "stuvwxyz!"};
const std::vector<uint8_t> kRgbBottomFirst = pixelsOf(kRgbRows[2] + kRgbRows[1] + kRgbRows[0]);

int readBytes(const ScratchFolder& dir, const std::string& file, TgaImage& image) {
    writeTextFile(dir.path() + "image.tga", file);
    return readTga(dir.path() + "image.tga", image);
}

TEST(TgaImage, ReadsRedFirstBottomRowFirstWhateverTheRowOrderAndImageId) {
    // Bit 4 (right to left) and the alpha bits of the descriptor are not looked at, nor bytes
    // after the pixels (a TGA 2.0 footer, say). Two rows of six catch rows turned over using
    // the wrong side.
    const std::vector<std::string> rgba = {"ABCDEFGH", "IJKLMNOP"};
    const std::vector<std::string> two = {kRgbRows[0] + kRgbRows[1], kRgbRows[2] + kRgbRows[0]};
    struct Case {
        std::vector<std::string> rows;
        unsigned bytesPerPixel;
        std::string file;
    };
    const Case cases[] = {
        {rgba, 4, tgaFile({0, 2, 2, 2, 32, 8}, tgaPixels(rgba, 4, false))},
        {rgba, 4, tgaFile({0, 2, 2, 2, 32, 0x28}, tgaPixels(rgba, 4, true), "ID")},
        {kRgbRows, 3, tgaFile({0, 2, 3, 3, 24, 0x00}, tgaPixels(kRgbRows, 3, false))},
        {kRgbRows, 3, tgaFile({0, 2, 3, 3, 24, 0x20}, tgaPixels(kRgbRows, 3, true), "0123456789")},
        {kRgbRows, 3, tgaFile({0, 2, 3, 3, 24, 0x18}, tgaPixels(kRgbRows, 3, false),
                              std::string(255, 'x')) + "TRUEVISION-XFILE."},
        {two, 3, tgaFile({0, 2, 6, 2, 24, 0x00}, tgaPixels(two, 3, false), "ID")},
        {two, 3, tgaFile({0, 2, 6, 2, 24, 0x20}, tgaPixels(two, 3, true))},
    };
    ScratchFolder dir;
    TgaImage image;  // one for all, so pixels of an earlier read must not survive
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const auto& [rows, bytesPerPixel, file] = cases[i];
        std::string bottomFirst;
        for (size_t row = rows.size(); row-- > 0;) bottomFirst += rows[row];
        ASSERT_EQ(readBytes(dir, file, image), kTgaOk);
        EXPECT_EQ(image.width, rows[0].size() / bytesPerPixel);
        EXPECT_EQ(image.height, rows.size());
        bool alpha = bytesPerPixel == 4;
        EXPECT_EQ(image.pixelFormat, static_cast<GLenum>(alpha ? GL_RGBA : GL_RGB));
        EXPECT_EQ(image.internalFormat, static_cast<GLenum>(alpha ? GL_RGBA8 : GL_RGB8));
        EXPECT_EQ(image.pixels, pixelsOf(bottomFirst));
    }
}

TEST(TgaImage, RefusesOtherKindsAndShortFilesLeavingNoPixels) {
    ScratchFolder dir;
    std::string four(16, '\7');
    std::string whole = tgaFile({0, 2, 3, 3, 24, 0}, tgaPixels(kRgbRows, 3, false), "id");
    std::vector<std::pair<std::string, int>> cases = {
        {tgaFile({1, 1, 2, 2, 8, 0}, std::string(4, '\0')), kTgaNotTrueColour},  // colour-mapped
        {tgaFile({1, 2, 2, 2, 32, 0}, four), kTgaNotTrueColour},  // colour map with type 2
        {tgaFile({0, 3, 2, 2, 8, 0}, std::string(4, '\0')), kTgaNotTrueColour},  // grey-scale
        {tgaFile({0, 10, 2, 2, 32, 0}, four), kTgaNotTrueColour},                // run-length
        {tgaFile({0, 10, 3, 3, 24, 0}, "").substr(0, 5), kTgaNotTrueColour},  // cut run-length
        {tgaFile({0, 2, 2, 2, 16, 0}, std::string(8, '\0')), kTgaBadDepth},
        {tgaFile({0, 2, 2, 0, 32, 0x20}, four), kTgaNoPixels},  // no rows to turn over
        // The largest size a header can announce (16 GiB, more than a 32-bit size_t holds),
        // with almost nothing behind it.
        {tgaFile({0, 2, 65535, 65535, 32, 0}, std::string(100, 'p')), kTgaNoPixels},
    };
    // Cut inside the type bytes, the rest of the header, the image ID and the pixels.
    for (size_t length : {0, 2}) cases.push_back({whole.substr(0, length), kTgaNotTrueColour});
    for (size_t length : {size_t{3}, size_t{17}, size_t{19}, whole.size() - 1})
        cases.push_back({whole.substr(0, length), kTgaNoPixels});
    cases.push_back({"", kTgaCannotOpen});  // stands for a missing file

    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        const auto& [file, status] = cases[i];
        TgaImage image;
        image.pixels.assign(27, 1);  // left from an earlier read
        image.width = 3;
        EXPECT_EQ(status == kTgaCannotOpen ? readTga(dir.path() + "missing.tga", image)
                                           : readBytes(dir, file, image),
                  status);
        EXPECT_TRUE(image.pixels.empty());
        EXPECT_EQ(image.width, 0u);
    }
}

// Files from another writer. ImageMagick keeps the stored row order and records it as the
// image's orientation, so only its -orient TopLeft output (top row first, bit 5 set) and a
// flipped picture in its default bottom-left output hold the picture the right way up.
TEST(TgaImage, ReadsImageMagickFiles) {
    if (!haveProgram("convert")) GTEST_SKIP() << "ImageMagick's convert is not installed";
    ScratchFolder dir;
    writeTextFile(dir.path() + "rgb.ppm",
                  "P6\n3 3\n255\n" + kRgbRows[0] + kRgbRows[1] + kRgbRows[2]);
    std::vector<uint8_t> opaque;  // with an alpha channel added
    for (size_t at = 0; at < kRgbBottomFirst.size(); at += 3) {
        opaque.insert(opaque.end(), kRgbBottomFirst.begin() + at, kRgbBottomFirst.begin() + at + 3);
        opaque.push_back(255);
    }
    struct Case {
        const char* options;
        int status;
        std::vector<uint8_t> pixels;
    };
    const Case cases[] = {
        {"-compress none -orient TopLeft", kTgaOk, kRgbBottomFirst},
        {"-flip -compress none -orient BottomLeft", kTgaOk, kRgbBottomFirst},
        {"-flip -alpha set -compress none", kTgaOk, opaque},
        {"-compress RLE", kTgaNotTrueColour, {}},
        {"-colorspace Gray -compress none", kTgaNotTrueColour, {}},
        {"-type Palette -compress none", kTgaNotTrueColour, {}},
    };
    for (const Case& c : cases) {
        std::string command = "convert '" + dir.path() + "rgb.ppm' " + c.options + " 'tga:" +
                              dir.path() + "out.tga'";
        SCOPED_TRACE(command);
        ASSERT_EQ(std::system(command.c_str()), 0);
        TgaImage image;
        EXPECT_EQ(readTga(dir.path() + "out.tga", image), c.status);
        EXPECT_EQ(image.pixels, c.pixels);
    }
}

}  // namespace
