#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <tuple>

#include "tests/native/TestFiles.h"
#include "tools/texgen/TextureArt.h"

namespace {

int brightness(const uint8_t* p) { return std::max({p[0], p[1], p[2]}); }

// Sum of channel differences between columns (or rows) a and b of a picture.
long step(const Image& image, bool columns, int a, int b) {
    long sum = 0;
    for (int i = 0; i < (columns ? image.height : image.width); ++i) {
        const uint8_t* p = columns ? image.at(a, i) : image.at(i, a);
        const uint8_t* q = columns ? image.at(b, i) : image.at(i, b);
        for (int c = 0; c < image.channels; ++c) sum += std::abs(p[c] - q[c]);
    }
    return sum;
}

}  // namespace

TEST(TextureArt, EncodesUncompressedTrueColourTgaBottomRowFirst) {
    using Bytes = std::vector<uint8_t>;
    Image rgb(300, 2, 3);
    rgb.at(0, 1)[0] = 21, rgb.at(0, 1)[2] = 23;  // bottom left
    rgb.at(299, 0)[0] = 11;                      // top right
    Bytes tga = encodeTga(rgb);
    ASSERT_EQ(tga.size(), 18u + 300 * 2 * 3);
    // The header, then the bottom row first, each pixel blue, green, red.
    EXPECT_EQ(Bytes(tga.begin(), tga.begin() + 21),
              (Bytes{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 44, 1, 2, 0, 24, 0, 23, 0, 21}));
    EXPECT_EQ(tga.back(), 11);

    Image rgba(1, 2, 4);
    rgba.pixels = {1, 2, 3, 4, 5, 6, 7, 8};
    tga = encodeTga(rgba);
    // Width, height, 32 bits, eight alpha bits with the origin at the bottom, then the pixels.
    EXPECT_EQ(Bytes(tga.begin() + 12, tga.end()),
              (Bytes{1, 0, 2, 0, 32, 8, 7, 6, 5, 8, 3, 2, 1, 4}));
}

TEST(TextureArt, WritesTheNamedPowerOfTwoSetTheSameOnEveryRun) {
    ScratchFolder folder;
    std::string error;
    ASSERT_TRUE(writeTextureSet(folder.path(), error)) << error;
    // Names, sides (powers of two, as OpenGL 1.1 requires) and channels.
    const std::tuple<std::string, int, int, int> expected[] = {
        {"Pulsar.tga", 256, 256, 4},  {"Loading.tga", 256, 128, 3}, {"Glass.tga", 256, 256, 3},
        {"Striped.tga", 128, 128, 3}, {"Checked.tga", 128, 128, 3}, {"Water.tga", 256, 256, 3}};
    std::vector<NamedTexture> set = makeTextureSet();  // a second run: the files hold the first
    ASSERT_EQ(set.size(), std::size(expected));
    auto files = std::filesystem::directory_iterator(folder.path());
    EXPECT_EQ(std::distance(begin(files), end(files)), static_cast<std::ptrdiff_t>(set.size()));
    for (size_t i = 0; i < set.size(); ++i) {
        const Image& image = set[i].image;
        EXPECT_EQ(std::tuple(set[i].fileName, image.width, image.height, image.channels),
                  expected[i]);
        std::string written = readTextFile(folder.path() + set[i].fileName);
        EXPECT_EQ(std::vector<uint8_t>(written.begin(), written.end()), encodeTga(image))
            << set[i].fileName;
    }

    // A missing folder or a file in place of one fails without creating anything.
    for (std::string bad : {folder.path() + "missing", folder.path() + "Water.tga"}) {
        error.clear();
        EXPECT_FALSE(writeTextureSet(bad, error)) << bad;
        EXPECT_FALSE(error.empty());
    }
    EXPECT_FALSE(std::filesystem::exists(folder.path() + "missing"));
}

TEST(TextureArt, PulsarFramesGrowInsideBlackCellBorders) {
    Image sheet = makePulsarSheet();
    int previousCount = -1, previousPeak = -1;
    for (int cell = 0; cell < kPulsarColumns * kPulsarColumns; ++cell) {
        SCOPED_TRACE(cell);
        int left = (cell % kPulsarColumns) * kPulsarCell;
        int top = (cell / kPulsarColumns) * kPulsarCell;
        int count = 0, peak = 0, wrong = 0, centreLeft = kPulsarCell, centreRight = 0;
        for (int y = 0; y < kPulsarCell; ++y) {
            for (int x = 0; x < kPulsarCell; ++x) {
                const uint8_t* p = sheet.at(left + x, top + y);
                int light = brightness(p);
                bool border = x == 0 || y == 0 || x == kPulsarCell - 1 || y == kPulsarCell - 1;
                wrong += (border && light > 0) + (p[3] != light) +
                         (light - std::min({p[0], p[1], p[2]}) > 40);
                peak = std::max(peak, light);
                if (light > 64) {
                    ++count;
                    centreLeft = std::min(centreLeft, x);
                    centreRight = std::max(centreRight, x);
                }
            }
        }
        EXPECT_EQ(wrong, 0) << "lit on the border, alpha other than brightness, or not white";
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
    // With hard edges, steps inside are as big as the wrap-around step, not just typical ones.
    const std::tuple<const char*, Image, bool> pictures[] = {
        {"glass", makeGlassTexture(), false},
        {"striped", makeStripedTexture(), false},
        {"checked", makeCheckedTexture(), true},
        {"water", makeWaterTexture(), false}};
    for (const auto& [name, image, hardEdges] : pictures) {
        // The step from the last column back to the first is no bigger than the steps inside
        // the picture, and for soft pictures not far above the typical one; likewise for rows.
        for (bool columns : {true, false}) {
            SCOPED_TRACE(std::string(name) + (columns ? " columns" : " rows"));
            int n = columns ? image.width : image.height;
            long largest = 0, total = 0;
            for (int i = 0; i + 1 < n; ++i) {
                largest = std::max(largest, step(image, columns, i, i + 1));
                total += step(image, columns, i, i + 1);
            }
            long wrap = step(image, columns, n - 1, 0);
            EXPECT_GT(total, 0) << "a flat picture";
            EXPECT_LE(wrap, largest);
            if (!hardEdges) {
                EXPECT_LE(wrap, 3 * total / (n - 1));
            }
        }
    }
}
