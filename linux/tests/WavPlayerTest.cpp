#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "linux/WavPlayer.h"

namespace {

TEST(WavPlayer, WithoutASoundServerTheFileRunsOnTheClockToItsEndOrRoundAgain) {
    // 0.1 s at 44100 frames a second, each frame's top byte its index / 40 (a rising ramp).
    std::vector<int16_t> pcm(4410 * 2);
    for (size_t i = 0; i < 4410; ++i) pcm[i * 2] = pcm[i * 2 + 1] = static_cast<int16_t>((i / 40) * 256);
    WavPlayer player(pcm, 44100, false);
    player.startSilent();
    uint8_t block[2][kWaveformSamples];
    player.heardBlock(block);  // at the start: nothing heard yet, silence
    EXPECT_EQ(block[0][0], 0);
    EXPECT_FALSE(player.finished());
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_TRUE(player.finished());
    EXPECT_EQ(player.heardFrame(), 4410u);  // never past the end
    player.heardBlock(block);  // the file's last 576 frames
    EXPECT_EQ(block[0][kWaveformSamples - 1], 4409 / 40);
    EXPECT_EQ(block[1][0], (4410 - kWaveformSamples) / 40);

    WavPlayer looping(pcm, 44100, true);
    looping.startSilent();
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_FALSE(looping.finished());
    EXPECT_GT(looping.heardFrame(), 4410u);
    // Round again: every sample of the block is one of the file's (never silence past its end).
    looping.heardBlock(block);
    int silent = 0;
    for (int i = 0; i < kWaveformSamples; ++i) {
        EXPECT_LE(block[0][i], 4409 / 40);
        silent += block[0][i] == 0;
    }
    EXPECT_LE(silent, 40);  // only frames 0..39 of the ramp are 0
}

}  // namespace
