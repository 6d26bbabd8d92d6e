#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "readers/TgaImage.h"
#include "tests/native/TestFiles.h"

namespace {

// A 3 x 3 picture with a different colour in every pixel, rows from the top.
const std::vector<std::string> kRgbRows = {"abcdefghi", "jklmnopqr", "stuvwxyz!"};

std::string bottomFirst(const std::vector<std::string>& rows) {
    std::string out;
    for (size_t row = rows.size(); row-- > 0;) out += rows[row];
    return out;
}

TEST(TgaImage, ReadsRedFirstBottomRowFirstWhateverTheRowOrderAndImageId) {
    // Bit 4 (right to left) and the alpha bits of the descriptor are not looked at, nor bytes
    // after the pixels (a TGA 2.0 footer, say). Rows of six pixels catch rows turned over
    // using the wrong side.
    const std::vector<std::string> rgba = {"ABCDEFGH", "IJKLMNOP"};
    const std::vector<std::string> wide = {kRgbRows[0] + kRgbRows[1], kRgbRows[2] + kRgbRows[0]};
    const struct {
        std::vector<std::string> rows;
        unsigned bytesPerPixel;
        std::string file;
    } cases[] = {
        {rgba, 4, tgaFile({0, 2, 2, 2, 32, 8}, tgaPixels(rgba, 4, false))},
        {rgba, 4, tgaFile({0, 2, 2, 2, 32, 0x28}, tgaPixels(rgba, 4, true), "ID")},
        {kRgbRows, 3,
         tgaFile({0, 2, 3, 3, 24, 0x18}, tgaPixels(kRgbRows, 3, false), std::string(255, 'x')) +
             "TRUEVISION-XFILE."},
        {wide, 3, tgaFile({0, 2, 6, 2, 24, 0x00}, tgaPixels(wide, 3, false), "ID")},
        {wide, 3, tgaFile({0, 2, 6, 2, 24, 0x20}, tgaPixels(wide, 3, true))},
    };
    ScratchFolder dir;
    TgaImage image;  // one for all, so pixels of an earlier read must not survive
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        writeTextFile(dir.path() + "image.tga", c.file);
        ASSERT_EQ(readTga(dir.path() + "image.tga", image), kTgaOk);
        EXPECT_EQ(image.width * 10 + image.height,
                  c.rows[0].size() / c.bytesPerPixel * 10 + c.rows.size());
        bool alpha = c.bytesPerPixel == 4;
        EXPECT_EQ(image.channels, alpha ? 4u : 3u);
        EXPECT_EQ(std::string(image.pixels.begin(), image.pixels.end()), bottomFirst(c.rows));
    }
}

TEST(TgaImage, RefusesOtherKindsAndShortFilesLeavingNoPixels) {
    const std::string four(16, '\7');
    const std::string whole = tgaFile({0, 2, 3, 3, 24, 0}, tgaPixels(kRgbRows, 3, false), "id");
    std::vector<std::pair<std::string, int>> cases = {
        {tgaFile({1, 1, 2, 2, 8, 0}, std::string(4, '\0')), kTgaNotTrueColour},  // colour-mapped
        {tgaFile({1, 2, 2, 2, 32, 0}, four), kTgaNotTrueColour},  // colour map with type 2
        {tgaFile({0, 3, 2, 2, 8, 0}, std::string(4, '\0')), kTgaNotTrueColour},  // grey-scale
        {tgaFile({0, 10, 2, 2, 32, 0}, four), kTgaNotTrueColour},                // run-length
        {tgaFile({0, 10, 3, 3, 24, 0}, "").substr(0, 5), kTgaNotTrueColour},     // cut run-length
        {tgaFile({0, 2, 2, 2, 16, 0}, std::string(8, '\0')), kTgaBadDepth},
        {tgaFile({0, 2, 2, 0, 32, 0x20}, four), kTgaNoPixels},  // no rows to turn over
        {tgaFile({0, 2, 0, 0, 24, 0}, four), kTgaNoPixels},     // 0 x 0
        {std::string("\0\0\2\xff\xff\0\xfe\x80", 8), kTgaNoPixels},  // garbage: a cut header
        // The largest size a header can announce (16 GiB, more than a 32-bit size_t holds),
        // with almost nothing behind it.
        {tgaFile({0, 2, 65535, 65535, 32, 0}, std::string(100, 'p')), kTgaNoPixels},
    };
    // Cut inside the type bytes, the rest of the header, the image ID and the pixels.
    for (size_t length : {0, 2}) cases.push_back({whole.substr(0, length), kTgaNotTrueColour});
    for (size_t length : {size_t{3}, size_t{17}, size_t{19}, whole.size() - 1})
        cases.push_back({whole.substr(0, length), kTgaNoPixels});
    cases.push_back({"", kTgaCannotOpen});  // stands for a missing file
    cases.push_back({"", -1});              // stands for a folder: no picture, whatever the cause

    ScratchFolder dir;
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        const auto& [file, status] = cases[i];
        if (status >= 0 && status != kTgaCannotOpen) writeTextFile(dir.path() + "image.tga", file);
        TgaImage image;
        image.pixels.assign(27, 1);  // left from an earlier read
        image.width = 3;
        const std::string name = status < 0 ? "" : status == kTgaCannotOpen ? "missing.tga" : "image.tga";
        const int result = readTga(dir.path() + name, image);
        if (status < 0) EXPECT_NE(result, kTgaOk);
        else EXPECT_EQ(result, status);
        EXPECT_TRUE(image.pixels.empty() && image.width == 0);
    }
}

// Files from another writer, which records the row order in the descriptor.
TEST(TgaImage, ReadsImageMagickFilesTheRightWayUp) {
    if (!haveProgram("convert")) GTEST_SKIP() << "ImageMagick's convert is not installed";
    ScratchFolder dir;
    writeTextFile(dir.path() + "rgb.ppm",
                  "P6\n3 3\n255\n" + kRgbRows[0] + kRgbRows[1] + kRgbRows[2]);
    for (const char* options : {"-orient TopLeft", "-flip -orient BottomLeft"}) {
        std::string command = "convert '" + dir.path() + "rgb.ppm' -compress none " + options +
                              " 'tga:" + dir.path() + "out.tga'";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        TgaImage image;
        EXPECT_EQ(readTga(dir.path() + "out.tga", image), kTgaOk) << options;
        EXPECT_EQ(std::string(image.pixels.begin(), image.pixels.end()), bottomFirst(kRgbRows))
            << options;
    }
}

}  // namespace
