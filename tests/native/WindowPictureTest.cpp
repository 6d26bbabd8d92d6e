#include <gtest/gtest.h>

#include <vector>

#include "platform/GlHeaders.h"
#include "frontend/WindowPicture.h"
#include "platform/headless/OffscreenContext.h"

namespace {

using Picture = platform::LivePicture;

// The blue, green, red bytes of picture pixel (x, y), y counted from the bottom row.
std::vector<int> at(const uint8_t* bgr, int x, int y) {
    const uint8_t* p = bgr + y * Picture::kStride + x * 3;
    return {p[0], p[1], p[2]};
}

TEST(WindowPicture, AFrameIsAveragedDownIntoBlueGreenRedRowsBottomFirst) {
    std::vector<uint8_t> picture(Picture::kStride * Picture::kHeight);
    // Twice the picture's size: each picture pixel is the mean of a 2 x 2 block; red says the
    // column, green the row (both of the block), blue the position in it.
    const int w = 512, h = 256;
    std::vector<uint8_t> frame(w * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &frame[(y * w + x) * 4];
            p[0] = static_cast<uint8_t>(x / 2), p[1] = static_cast<uint8_t>(y / 2);
            p[2] = static_cast<uint8_t>((x % 2) * 10 + (y % 2) * 20), p[3] = 255;
        }
    scaleFrameToPicture(frame.data(), w, h, picture.data());
    EXPECT_EQ(at(picture.data(), 0, 0), (std::vector<int>{15, 0, 0}));
    EXPECT_EQ(at(picture.data(), 200, 3), (std::vector<int>{15, 3, 200}));
    EXPECT_EQ(at(picture.data(), 255, 127), (std::vector<int>{15, 127, 255}));

    // Sizes that do not divide evenly, and a window smaller than the picture: every pixel of a
    // plain frame keeps its colour, and the frame's corners stay the picture's corners.
    for (auto [fw, fh] : {std::pair{300, 201}, std::pair{100, 50}, std::pair{1, 1}}) {
        std::vector<uint8_t> plain(fw * fh * 4);
        for (int i = 0; i < fw * fh; ++i)
            plain[i * 4] = 30, plain[i * 4 + 1] = 60, plain[i * 4 + 2] = 90;
        plain[0] = 250;  // the bottom-left frame pixel's red
        plain[(fw * fh - 1) * 4 + 2] = 250;  // the top-right one's blue
        scaleFrameToPicture(plain.data(), fw, fh, picture.data());
        if (fw > 1) {
            EXPECT_EQ(at(picture.data(), 128, 64), (std::vector<int>{90, 60, 30})) << fw;
        }
        if (fw < Picture::kWidth) {
            EXPECT_EQ(at(picture.data(), 0, 0)[2], 250) << fw;
            EXPECT_EQ(at(picture.data(), 255, 127)[0], 250) << fw;
        }
    }
}

TEST(WindowPicture, ReadsTheDrawnFrameBackOnlyWhenTheModelAskedForIt) {
    OffscreenContext context(320, 160);
    ASSERT_TRUE(context.ok());
    WindowPicture window;
    std::unique_ptr<Picture> source = window.source();
    ASSERT_EQ(source->pixels(), window.pixels());
    auto drawn = [&](float r, float g, float b) {
        glClearColor(r, g, b, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    };

    drawn(1, 0, 0);
    window.keepFrame(320, 160);
    EXPECT_EQ(at(source->pixels(), 10, 10), (std::vector<int>{0, 0, 0})) << "read unasked";

    source->capture();  // the model asks in the middle of a frame...
    drawn(0, 0, 1);
    EXPECT_EQ(at(source->pixels(), 10, 10), (std::vector<int>{0, 0, 0}));
    window.keepFrame(320, 160);  // ... and gets the whole frame at its end
    EXPECT_EQ(at(source->pixels(), 10, 10), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(at(source->pixels(), 255, 127), (std::vector<int>{255, 0, 0}));

    drawn(0, 1, 0);
    window.keepFrame(320, 160);
    EXPECT_EQ(at(source->pixels(), 10, 10), (std::vector<int>{255, 0, 0})) << "one asking, one read";
    glClearColor(0, 0, 0, 1);
}

}  // namespace
