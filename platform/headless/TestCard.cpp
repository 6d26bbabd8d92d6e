#include "platform/headless/TestCard.h"

#include <atomic>

#include "platform/headless/PlatformHeadless.h"

namespace platform::headless {
namespace {

std::atomic<int> captureCount{0};

// A test card in place of the player's window: colour bars on top (so that every channel
// mapping shows), a grey panel with a row of level bars below, and a white marker that moves
// one step at every capture, so that a live picture can be told from a still one.
void paintTestCard(std::vector<uint8_t>& bgr, int step) {
    using W = LivePicture;
    static const uint8_t kBars[8][3] = {{255, 255, 255}, {0, 255, 255}, {255, 255, 0},
                                        {0, 255, 0},     {255, 0, 255}, {0, 0, 255},
                                        {255, 0, 0},     {0, 0, 0}};  // blue, green, red
    for (int y = 0; y < W::kHeight; ++y) {
        uint8_t* row = bgr.data() + static_cast<size_t>(y) * W::kStride;
        for (int x = 0; x < W::kWidth; ++x) {
            uint8_t* p = row + x * 3;
            if (y >= W::kHeight / 2) {  // the upper half (rows are stored bottom first)
                const uint8_t* bar = kBars[x / (W::kWidth / 8)];
                p[0] = bar[0], p[1] = bar[1], p[2] = bar[2];
            } else {
                int column = x / 16, level = (column * 37 + step * 5) % 48 + 8;
                bool lit = y > 8 && y < 8 + level && x % 16 < 12;
                p[0] = lit ? 40 : 64, p[1] = lit ? 220 : 64, p[2] = lit ? 90 : 64;
            }
            if (x / 8 == step % (W::kWidth / 8) && y < 8) p[0] = p[1] = p[2] = 255;
        }
    }
}

}  // namespace

TestCard::TestCard() : pixels_(static_cast<size_t>(kStride) * kHeight, 0) {}

void TestCard::capture() {
    paintTestCard(pixels_, step_++);
    ++captureCount;
}

int windowCaptures() { return captureCount.load(); }

}  // namespace platform::headless
