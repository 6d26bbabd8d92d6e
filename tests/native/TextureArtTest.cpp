#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/native/TestFiles.h"
#include "tools/texgen/PixelFont.h"
#include "tools/texgen/TextureArt.h"

namespace {

bool isPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

int brightness(const uint8_t* p) { return std::max(p[0], std::max(p[1], p[2])); }

// Sum of channel differences between two columns (or rows) of a picture.
long columnStep(const Image& image, int x0, int x1) {
    long sum = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int c = 0; c < image.channels; ++c) {
            sum += std::abs(image.at(x0, y)[c] - image.at(x1, y)[c]);
        }
    }
    return sum;
}
long rowStep(const Image& image, int y0, int y1) {
    long sum = 0;
    for (int x = 0; x < image.width; ++x) {
        for (int c = 0; c < image.channels; ++c) {
            sum += std::abs(image.at(x, y0)[c] - image.at(x, y1)[c]);
        }
    }
    return sum;
}

}  // namespace

TEST(TextureArt, EncodesUncompressedTrueColourTgaBottomRowFirst) {
    Image rgb(300, 2, 3);
    rgb.at(0, 0)[0] = 11, rgb.at(0, 0)[1] = 12, rgb.at(0, 0)[2] = 13;  // top left
    rgb.at(0, 1)[0] = 21, rgb.at(0, 1)[1] = 22, rgb.at(0, 1)[2] = 23;  // bottom left
    rgb.at(299, 1)[0] = 31;                                            // bottom right
    std::vector<uint8_t> tga = encodeTga(rgb);
    const std::vector<uint8_t> header = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 44, 1, 2, 0, 24, 0};
    ASSERT_EQ(tga.size(), 18u + 300 * 2 * 3);
    EXPECT_EQ(std::vector<uint8_t>(tga.begin(), tga.begin() + 18), header);
    // The bottom row comes first, each pixel blue, green, red.
    EXPECT_EQ(tga[18], 23);
    EXPECT_EQ(tga[19], 22);
    EXPECT_EQ(tga[20], 21);
    EXPECT_EQ(tga[18 + 299 * 3 + 2], 31);
    EXPECT_EQ(tga[18 + 300 * 3], 13);
    EXPECT_EQ(tga[18 + 300 * 3 + 2], 11);

    Image rgba(1, 2, 4);
    const uint8_t top[] = {1, 2, 3, 4}, bottom[] = {5, 6, 7, 8};
    std::copy(top, top + 4, rgba.at(0, 0));
    std::copy(bottom, bottom + 4, rgba.at(0, 1));
    tga = encodeTga(rgba);
    ASSERT_EQ(tga.size(), 18u + 8);
    EXPECT_EQ(tga[12], 1);
    EXPECT_EQ(tga[14], 2);
    EXPECT_EQ(tga[16], 32);
    EXPECT_EQ(tga[17], 8);  // eight alpha bits, origin at the bottom
    EXPECT_EQ(std::vector<uint8_t>(tga.begin() + 18, tga.end()),
              (std::vector<uint8_t>{7, 6, 5, 8, 3, 2, 1, 4}));
}

TEST(TextureArt, SetHasTheNamedPicturesWithPowerOfTwoSides) {
    struct Expected {
        const char* name;
        int width, height, channels;
    };
    const Expected expected[] = {{"Pulsar.tga", 256, 256, 4},  {"Loading.tga", 256, 128, 3},
                                 {"Glass.tga", 256, 256, 3},   {"Striped.tga", 128, 128, 3},
                                 {"Checked.tga", 128, 128, 3}, {"Water.tga", 256, 256, 3}};
    std::vector<NamedTexture> set = makeTextureSet();
    ASSERT_EQ(set.size(), std::size(expected));
    for (size_t i = 0; i < set.size(); ++i) {
        SCOPED_TRACE(set[i].fileName);
        const Image& image = set[i].image;
        EXPECT_EQ(set[i].fileName, expected[i].name);
        EXPECT_EQ(image.width, expected[i].width);
        EXPECT_EQ(image.height, expected[i].height);
        EXPECT_EQ(image.channels, expected[i].channels);
        EXPECT_TRUE(isPowerOfTwo(image.width) && isPowerOfTwo(image.height));
        EXPECT_EQ(image.pixels.size(), size_t(image.width) * image.height * image.channels);
        EXPECT_EQ(encodeTga(image)[16], image.channels * 8);
    }
}

TEST(TextureArt, PulsarFramesGrowInsideBlackCellBorders) {
    Image sheet = makePulsarSheet();
    int previousCount = -1, previousPeak = -1;
    for (int cell = 0; cell < kPulsarColumns * kPulsarColumns; ++cell) {
        SCOPED_TRACE(cell);
        int left = (cell % kPulsarColumns) * kPulsarCell;
        int top = (cell / kPulsarColumns) * kPulsarCell;
        int count = 0, peak = 0, litOnBorder = 0, notWhite = 0, alphaMismatch = 0;
        int centreLeft = kPulsarCell, centreRight = 0;
        for (int y = 0; y < kPulsarCell; ++y) {
            for (int x = 0; x < kPulsarCell; ++x) {
                const uint8_t* p = sheet.at(left + x, top + y);
                bool border = x == 0 || y == 0 || x == kPulsarCell - 1 || y == kPulsarCell - 1;
                if (border && (p[0] || p[1] || p[2] || p[3])) ++litOnBorder;
                if (p[3] != brightness(p)) ++alphaMismatch;
                if (brightness(p) - std::min(p[0], std::min(p[1], p[2])) > 40) ++notWhite;
                peak = std::max(peak, brightness(p));
                if (brightness(p) > 64) {
                    ++count;
                    centreLeft = std::min(centreLeft, x);
                    centreRight = std::max(centreRight, x);
                }
            }
        }
        EXPECT_EQ(litOnBorder, 0);
        EXPECT_EQ(alphaMismatch, 0);
        EXPECT_EQ(notWhite, 0);
        if (cell >= kPulsarFrames) {
            EXPECT_EQ(peak, 0) << "an unused cell is not black";
            continue;
        }
        EXPECT_GT(count, previousCount);
        EXPECT_GE(peak, previousPeak);
        EXPECT_EQ(centreLeft + centreRight, kPulsarCell - 1) << "the glow is off centre";
        previousCount = count;
        previousPeak = peak;
    }
    EXPECT_GT(previousPeak, 240);  // the last frame flares to full brightness
}

TEST(TextureArt, TilingTexturesWrapAroundSeamlessly) {
    struct Picture {
        const char* name;
        Image image;
        bool hardEdges;  // steps inside are as big as the wrap-around step, not just typical
    };
    const Picture pictures[] = {{"glass", makeGlassTexture(), false},
                                {"striped", makeStripedTexture(), false},
                                {"checked", makeCheckedTexture(), true},
                                {"water", makeWaterTexture(), false}};
    for (const auto& [name, image, hardEdges] : pictures) {
        SCOPED_TRACE(name);
        // The step from the last column back to the first is no bigger than the steps inside
        // the picture, and for soft pictures not far above the typical one; likewise for rows.
        long largest = 0, total = 0;
        for (int x = 0; x + 1 < image.width; ++x) {
            long step = columnStep(image, x, x + 1);
            largest = std::max(largest, step);
            total += step;
        }
        long wrap = columnStep(image, image.width - 1, 0);
        EXPECT_GT(total, 0) << "a flat picture";
        EXPECT_LE(wrap, largest);
        if (!hardEdges) {
            EXPECT_LE(wrap, 3 * total / (image.width - 1));
        }

        largest = 0, total = 0;
        for (int y = 0; y + 1 < image.height; ++y) {
            long step = rowStep(image, y, y + 1);
            largest = std::max(largest, step);
            total += step;
        }
        wrap = rowStep(image, image.height - 1, 0);
        EXPECT_LE(wrap, largest);
        if (!hardEdges) {
            EXPECT_LE(wrap, 3 * total / (image.height - 1));
        }
    }
}

TEST(TextureArt, LoadingPictureShowsCentredTextOnDark) {
    Mask mask(200, 20);
    EXPECT_TRUE(stampText(mask, "VIZORAMA", 0, 0, 1));
    EXPECT_TRUE(stampText(mask, "loading...", 0, 10, 1));
    EXPECT_FALSE(stampText(mask, "?", 0, 0, 1));
    EXPECT_EQ(textWidth("VIZORAMA", 5), (8 * 6 - 1) * 5);

    Image picture = makeLoadingPicture();
    long corners = 0;
    int left = picture.width, right = -1, bottom = -1;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t* p = picture.at(x, y);
            bool nearCorner = (x < 16 || x >= picture.width - 16) &&
                              (y < 16 || y >= picture.height - 16);
            if (nearCorner) corners += brightness(p);
            if (std::min(p[0], std::min(p[1], p[2])) > 200) {  // the letters are near white
                left = std::min(left, x);
                right = std::max(right, x);
                bottom = std::max(bottom, y);
            }
        }
    }
    EXPECT_LT(corners / (4 * 16 * 16), 60) << "the background is not dark";
    ASSERT_GE(right, 0);
    EXPECT_LE(std::abs(left + right - (picture.width - 1)), 6) << left << ".." << right;
    EXPECT_GT(right - left, picture.width * 3 / 4);
    EXPECT_LT(bottom, picture.height - 8);
}

TEST(TextureArt, WritesTheSetIntoAFolderAndNothingElse) {
    ScratchFolder folder;
    std::string error;
    ASSERT_TRUE(writeTextureSet(folder.path(), error)) << error;
    std::vector<NamedTexture> set = makeTextureSet();
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, static_cast<int>(set.size()));
    for (const NamedTexture& texture : set) {
        std::vector<uint8_t> expected = encodeTga(texture.image);
        std::string written = readTextFile(folder.path() + texture.fileName);
        EXPECT_EQ(std::vector<uint8_t>(written.begin(), written.end()), expected)
            << texture.fileName;
    }

    // A second run gives the same bytes.
    std::vector<NamedTexture> again = makeTextureSet();
    for (size_t i = 0; i < set.size(); ++i) {
        EXPECT_EQ(again[i].image.pixels, set[i].image.pixels) << set[i].fileName;
    }

    // A missing folder or a file in place of one fails without creating anything.
    std::string missing = folder.path() + "missing";
    error.clear();
    EXPECT_FALSE(writeTextureSet(missing, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(std::filesystem::exists(missing));
    error.clear();
    EXPECT_FALSE(writeTextureSet(folder.path() + "Water.tga", error));
    EXPECT_FALSE(error.empty());
}
