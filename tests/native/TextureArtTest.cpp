#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <tuple>

#include "tests/native/TestFiles.h"
#include "tools/texgen/TextureArt.h"

namespace {

using Bytes = std::vector<uint8_t>;

TEST(TextureArt, WritesTheNamedSetAsTgaFilesTheSameOnEveryRun) {
    // The header, then the bottom row first, each pixel blue, green, red (, alpha).
    Image rgb(300, 2, 3);
    rgb.at(0, 1)[0] = 21, rgb.at(0, 1)[2] = 23;  // bottom left
    rgb.at(299, 0)[0] = 11;                      // top right
    Bytes tga = encodeTga(rgb);
    ASSERT_EQ(tga.size(), 18u + 300 * 2 * 3);
    EXPECT_EQ(Bytes(tga.begin(), tga.begin() + 21),
              (Bytes{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 44, 1, 2, 0, 24, 0, 23, 0, 21}));
    EXPECT_EQ(tga.back(), 11);
    Image rgba(1, 2, 4);
    rgba.pixels = {1, 2, 3, 4, 5, 6, 7, 8};
    tga = encodeTga(rgba);  // eight alpha bits, the origin at the bottom
    EXPECT_EQ(Bytes(tga.begin() + 12, tga.end()),
              (Bytes{1, 0, 2, 0, 32, 8, 7, 6, 5, 8, 3, 2, 1, 4}));

    ScratchFolder folder;
    std::string error;
    ASSERT_TRUE(writeTextureSet(folder.path(), error)) << error;
    // Names, sides (powers of two, as OpenGL 1.1 requires) and channels.
    const std::tuple<std::string, int, int, int> expected[] = {
        {"Pulsar.tga", 256, 256, 4},  {"Loading.tga", 256, 128, 3}, {"Glass.tga", 256, 256, 3},
        {"Striped.tga", 128, 128, 3}, {"Checked.tga", 128, 128, 3}, {"Water.tga", 256, 256, 3}};
    std::vector<NamedTexture> set = makeTextureSet();  // a second run: the files hold the first
    ASSERT_EQ(set.size(), std::size(expected));
    for (size_t i = 0; i < set.size(); ++i) {
        const Image& image = set[i].image;
        EXPECT_EQ(std::tuple(set[i].fileName, image.width, image.height, image.channels),
                  expected[i]);
        std::string written = readTextFile(folder.path() + set[i].fileName);
        EXPECT_TRUE(Bytes(written.begin(), written.end()) == encodeTga(image)) << set[i].fileName;
    }
}

TEST(TextureArt, PulsarFramesGrowInsideBlackCellsAndTilesWrapSeamlessly) {
    Image sheet = makePulsarSheet();
    int previousCount = -1, previousPeak = -1;
    for (int cell = 0; cell < kPulsarColumns * kPulsarColumns; ++cell) {
        SCOPED_TRACE(cell);
        int count = 0, peak = 0, wrong = 0;
        for (int y = 0; y < kPulsarCell; ++y) {
            for (int x = 0; x < kPulsarCell; ++x) {
                const uint8_t* p = sheet.at((cell % kPulsarColumns) * kPulsarCell + x,
                                            (cell / kPulsarColumns) * kPulsarCell + y);
                int light = std::max({p[0], p[1], p[2]});
                bool border = x == 0 || y == 0 || x == kPulsarCell - 1 || y == kPulsarCell - 1;
                wrong += (border && light > 0) + (p[3] != light) +
                         (light - std::min({p[0], p[1], p[2]}) > 40);
                peak = std::max(peak, light);
                count += light > 64;
            }
        }
        EXPECT_EQ(wrong, 0) << "lit on the border, alpha other than brightness, or not white";
        if (cell >= kPulsarFrames) {
            EXPECT_EQ(peak, 0) << "an unused cell is not black";
            continue;
        }
        EXPECT_TRUE(count > previousCount && peak >= previousPeak) << "the glow does not grow";
        previousCount = count;
        previousPeak = peak;
    }
    EXPECT_GT(previousPeak, 240);  // the last frame flares to full brightness

    // The step from the last column (row) back to the first is no bigger than the steps inside
    // the picture: no seam where the texture repeats.
    const std::pair<const char*, Image> tiles[] = {{"glass", makeGlassTexture()},
                                                   {"striped", makeStripedTexture()},
                                                   {"checked", makeCheckedTexture()},
                                                   {"water", makeWaterTexture()}};
    for (const auto& [name, picture] : tiles) {
        const Image& image = picture;  // a structured binding cannot be captured
        for (bool columns : {true, false}) {
            auto step = [&](int a, int b) {  // summed channel differences
                long sum = 0;
                for (int i = 0; i < (columns ? image.height : image.width); ++i)
                    for (int c = 0; c < image.channels; ++c)
                        sum += std::abs((columns ? image.at(a, i) : image.at(i, a))[c] -
                                        (columns ? image.at(b, i) : image.at(i, b))[c]);
                return sum;
            };
            int n = columns ? image.width : image.height;
            long largest = 0;
            for (int i = 0; i + 1 < n; ++i) largest = std::max(largest, step(i, i + 1));
            EXPECT_TRUE(largest > 0 && step(n - 1, 0) <= largest)
                << name << (columns ? " columns" : " rows");
        }
    }
}

}  // namespace
