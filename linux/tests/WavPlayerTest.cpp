#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "linux/WavPlayer.h"

namespace {

TEST(WavPlayer, WithoutASoundServerTheFileRunsOnTheClockToItsEndOrRoundAgain) {
    // 0.1 s at 44100 frames a second, each frame's top byte its index / 40 (a rising ramp).
    std::vector<int16_t> pcm(4410 * 2);
    for (size_t i = 0; i < 4410; ++i) pcm[i * 2] = pcm[i * 2 + 1] = static_cast<int16_t>((i / 40) * 256);
    // A clock the test moves; times of whole binary fractions of a second give whole frames.
    WavPlayer::Clock::time_point now{};
    auto clock = [&now] { return now; };
    auto after = [&now](double seconds) {
        now += std::chrono::duration_cast<WavPlayer::Clock::duration>(std::chrono::duration<double>(seconds));
    };
    uint8_t block[2][kWaveformSamples];
    // The block's sample i when frame `heard` is being heard, from the file looped.
    auto expectBlockEndsAt = [&](uint64_t heard) {
        for (uint64_t i = 0; i < kWaveformSamples; ++i) {
            const uint64_t frame = (heard - kWaveformSamples + i) % 4410;
            ASSERT_EQ(block[0][i], frame / 40) << i;
            ASSERT_EQ(block[1][i], frame / 40) << i;
        }
    };

    WavPlayer player(pcm, 44100, false, clock);
    player.startSilent();
    player.heardBlock(block);  // at the start: nothing heard yet, silence
    for (int i = 0; i < kWaveformSamples; ++i) ASSERT_EQ(block[0][i] | block[1][i], 0) << i;
    after(0.0625);
    EXPECT_EQ(player.heardFrame(), 2756u);
    EXPECT_FALSE(player.finished());
    player.heardBlock(block);
    expectBlockEndsAt(2756);
    after(0.0625);  // 0.125 s: past the end
    EXPECT_TRUE(player.finished());
    EXPECT_EQ(player.heardFrame(), 4410u);  // never past the end
    player.heardBlock(block);  // the file's last 576 frames
    expectBlockEndsAt(4410);
    after(10);
    EXPECT_EQ(player.heardFrame(), 4410u);

    // Looping: round again past the end, the block across the file's end and its start.
    WavPlayer looping(pcm, 44100, true, clock);
    looping.startSilent();
    after(0.109375);
    EXPECT_FALSE(looping.finished());
    EXPECT_EQ(looping.heardFrame(), 4823u);
    looping.heardBlock(block);
    expectBlockEndsAt(4823);
    after(1);
    EXPECT_FALSE(looping.finished());
    EXPECT_EQ(looping.heardFrame(), 4823u + 44100u);
}

}  // namespace
