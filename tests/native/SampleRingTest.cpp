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

// Frame i of a recording, told apart by its block samples: left i % 128, right (i / 128) % 128.
std::vector<int16_t> numberedFrames(uint64_t from, size_t count) {
    std::vector<int16_t> frames(count * 2);
    for (size_t k = 0; k < count; ++k) {
        frames[k * 2] = static_cast<int16_t>(((from + k) % 128) * 256);
        frames[k * 2 + 1] = static_cast<int16_t>(((from + k) / 128 % 128) * 256);
    }
    return frames;
}

// The frame the block's last samples name (modulo 16384), or -1 for a silent block.
long lastFrameOf(const uint8_t block[2][kWaveformSamples]) {
    long silent = 0;
    for (int i = 0; i < kWaveformSamples; ++i) silent += block[0][i] | block[1][i];
    if (silent == 0) return -1;
    return block[0][kWaveformSamples - 1] + 128L * block[1][kWaveformSamples - 1];
}

TEST(SampleRing, ShowsTheBlockBeingHeardAsFarBackAsTheLongestLeadAtAnyRate) {
    uint8_t block[2][kWaveformSamples];
    // A monitor at 48 kHz, 0.625 s recorded, whose newest frame is heard 360 ms after 10 s.
    SampleRing ring;
    ring.reset(historyFramesFor(48000));
    ring.heardBlock(10.0, block);  // nothing recorded yet: silence
    EXPECT_EQ(lastFrameOf(block), -1);
    const std::vector<int16_t> frames = numberedFrames(0, 30000);
    ring.push(frames.data(), 30000);
    ring.heardBlock(10.0, block);  // no clock yet: the newest block
    EXPECT_EQ(lastFrameOf(block), 29999 % 16384);
    ring.setHeardClock(heardClockFromLead(30000, 0.36, 10.0, 48000));
    ring.heardBlock(10.0, block);
    EXPECT_EQ(lastFrameOf(block), 12719);  // 30000 - 0.36 x 48000, the frame before it
    ring.heardBlock(10.125, block);        // the clock runs on
    EXPECT_EQ(lastFrameOf(block), 18719 % 16384);
    // No more frames: what is still to be heard is shown, then silence (not the last block).
    ring.heardBlock(10.3125, block);
    EXPECT_EQ(lastFrameOf(block), (12720 + 15000 - 1) % 16384);
    ring.heardBlock(10.4, block);
    EXPECT_EQ(lastFrameOf(block), -1);
    // A lead longer than the history: the oldest whole block held (the ring holds 29376).
    ring.setHeardClock(heardClockFromLead(30000, 1.0, 10.0, 48000));
    ring.heardBlock(10.0, block);
    EXPECT_EQ(lastFrameOf(block), 30000 - 29376 + kWaveformSamples - 1);
    // Heard before it arrived (a microphone): the newest block, while frames keep coming.
    ring.setHeardClock(heardClockFromLead(30000, -0.02, 10.0, 48000));
    ring.heardBlock(10.1, block);
    EXPECT_EQ(lastFrameOf(block), 29999 % 16384);
    ring.heardBlock(10.3, block);
    EXPECT_EQ(lastFrameOf(block), -1);
    // A new recording forgets the frames, their count and the clock.
    ring.reset(historyFramesFor(44100));
    EXPECT_EQ(ring.framesPushed(), 0u);
    ring.heardBlock(10.0, block);
    EXPECT_EQ(lastFrameOf(block), -1);

    // At every rate, 500 ms behind the newest frame and a fragment more is still held whole.
    for (int rate : {8000, 22050, 44100, 48000, 96000, 192000}) {
        ring.reset(historyFramesFor(rate));
        const size_t fragment = static_cast<size_t>(rate) * 20 / 1000;
        uint64_t pushed = 0;
        while (pushed < static_cast<uint64_t>(rate)) {  // one second in 20 ms fragments
            const std::vector<int16_t> f = numberedFrames(pushed, fragment);
            ring.push(f.data(), fragment);
            pushed += fragment;
        }
        ring.setHeardClock(heardClockFromLead(pushed, kMaxLeadSeconds, 5.0, rate));
        const std::vector<int16_t> f = numberedFrames(pushed, fragment);
        ring.push(f.data(), fragment);  // the next fragment arrives before the picture
        ring.heardBlock(5.0, block);
        EXPECT_EQ(lastFrameOf(block), static_cast<long>((pushed - rate / 2 - 1) % 16384)) << rate;
    }
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
