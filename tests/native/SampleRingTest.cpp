#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "audio/SampleRing.h"
#include "scene/FrameState.h"

namespace {

TEST(SampleRing, BlocksTakeEachSamplesTopByteAsThePlayerDoesAndTheNewestFramesOfTheRing) {
    // Top bytes of two's-complement samples: 0x7FFF -> 127, -32768 -> -128, -1 -> -1, 255 -> 0.
    const int16_t frames[4] = {0x7FFF, -32768, -1, 255};
    uint8_t block[2][kWaveformSamples];
    blockFromFrames(frames, 2, block);
    // Fewer frames than a block: silence first, the frames at the end.
    EXPECT_EQ(block[0][0], 0);
    EXPECT_EQ(block[0][kWaveformSamples - 2], 127);
    EXPECT_EQ(block[1][kWaveformSamples - 2], 0x80);
    EXPECT_EQ(block[0][kWaveformSamples - 1], 0xFF);
    EXPECT_EQ(block[1][kWaveformSamples - 1], 0);

    // A full-scale square wave is the loudest level; a quarter of it a quarter as loud.
    std::vector<int16_t> square(kWaveformSamples * 2);
    for (size_t i = 0; i < square.size(); ++i) square[i] = (i / 20) % 2 ? 32767 : -32768;
    blockFromFrames(square.data(), kWaveformSamples, block);
    EXPECT_EQ(channelLevel(block[0]), 127);
    for (auto& s : square) s = static_cast<int16_t>(s / 4);  // top bytes 31 and -32
    blockFromFrames(square.data(), kWaveformSamples, block);
    EXPECT_EQ(channelLevel(block[1]), 63);  // twice the mean absolute sample, 31.5

    // The ring: wrapping round, more frames at once than it holds, the newest block after all.
    SampleRing ring(1000);
    std::vector<int16_t> ramp(2500 * 2);
    for (size_t i = 0; i < 2500; ++i) {
        ramp[i * 2] = static_cast<int16_t>(i * 256 % 32768);      // left: i in the top byte
        ramp[i * 2 + 1] = static_cast<int16_t>(-(int)(i % 128) * 256);
    }
    ring.push(ramp.data(), 700);
    ring.push(ramp.data() + 700 * 2, 1800);  // more than the ring holds: the last 1000 stay
    EXPECT_EQ(ring.framesPushed(), 2500u);
    ring.newestBlock(block);
    for (int i = 0; i < kWaveformSamples; ++i) {
        const size_t frame = 2500 - kWaveformSamples + static_cast<size_t>(i);
        ASSERT_EQ(static_cast<int8_t>(block[0][i]), static_cast<int8_t>(frame % 128)) << i;
        ASSERT_EQ(static_cast<int8_t>(block[1][i]), -static_cast<int>(frame % 128)) << i;
    }
    ring.push(ramp.data(), 100);  // across the ring's end
    ring.newestBlock(block);
    EXPECT_EQ(static_cast<int8_t>(block[0][kWaveformSamples - 1]), 99);
    EXPECT_EQ(static_cast<int8_t>(block[0][kWaveformSamples - 101]), static_cast<int8_t>(2499 % 128));
    ring.clear();
    ring.newestBlock(block);
    EXPECT_EQ(channelLevel(block[0]) + channelLevel(block[1]), 0);
}

TEST(SampleRing, AReaderAlwaysSeesWholePushesWhileAnotherThreadWrites) {
    // Each push is a block of one constant value: a block read in between never mixes a
    // half-written push with the one before in the wrong order (values only ever grow).
    SampleRing ring(4096);
    std::thread writer([&] {
        std::vector<int16_t> chunk(441 * 2);
        for (int v = 1; v < 120; ++v) {
            std::fill(chunk.begin(), chunk.end(), static_cast<int16_t>(v * 256));
            ring.push(chunk.data(), 441);
        }
    });
    uint8_t block[2][kWaveformSamples];
    for (int i = 0; i < 2000; ++i) {
        ring.newestBlock(block);
        for (int j = 1; j < kWaveformSamples; ++j)
            ASSERT_LE(static_cast<int8_t>(block[0][j - 1]), static_cast<int8_t>(block[0][j]));
    }
    writer.join();
    ring.newestBlock(block);
    EXPECT_EQ(static_cast<int8_t>(block[0][kWaveformSamples - 1]), 119);
    EXPECT_EQ(static_cast<int8_t>(block[0][0]), 118);  // the last push was shorter than a block
}

}  // namespace
