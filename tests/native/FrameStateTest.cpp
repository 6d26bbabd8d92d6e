#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "scene/FrameState.h"

namespace {

TEST(FrameStateTest, LevelsAnglesLoudnessAndSwayFromSilenceToFullScale) {
    auto wave = [](int left, int right) {
        static uint8_t samples[2][kWaveformSamples];
        std::memset(samples[0], static_cast<uint8_t>(left), kWaveformSamples);
        std::memset(samples[1], static_cast<uint8_t>(right), kWaveformSamples);
        return samples;
    };
    FrameState f;
    for (float loudness : {0.1f / 3, 0.2f / 3, 0.1f}) {  // the mean of three frames
        f.advance(wave(0, 0));
        EXPECT_NEAR(f.loudness, loudness, 1e-7);
    }
    EXPECT_EQ(f.levelLeft + f.levelRight + f.spriteFrameLeft + f.spriteFrameRight, 0);
    EXPECT_EQ(f.vuSpokes(), 6);
    // A degree a frame, the newest frame first in the history.
    EXPECT_EQ(std::vector<float>(f.motion.angleLeft, f.motion.angleLeft + 4),
              (std::vector<float>{3, 2, 1, 0}));
    for (int i = 0; i < 3; ++i) f.advance(wave(-128, -128));  // capped at 127: four degrees
    EXPECT_FLOAT_EQ(f.angleRight, 3 + 12);
    EXPECT_EQ(f.levelLeft * 10000 + f.vuSpokes() * 10 + f.spriteFrameRight, 1270639);
    f.advance(wave(20, -100));  // 100 a sample is 200, capped; 20 a sample gives 40
    EXPECT_EQ(f.levelLeft * 1000 + f.levelRight, 40127);

    // Angles wrap past 360 (exactly 360 stays); the sway turns at +-65, never standing still.
    f.angleLeft = 359;
    f.angleRight = 358.5f;
    f.advance(wave(0, 0));
    EXPECT_FLOAT_EQ(f.angleLeft * 1000 + f.angleRight, 360000 + 359.5f);
    f.advance(wave(0, 0));
    EXPECT_FLOAT_EQ(f.angleLeft * 1000 + f.angleRight, 1000 + 0.5f);
    float sways[400];
    for (float& a : sways) {
        f.advance(wave(0, 0));
        a = f.swayAngle;
    }
    auto [low, high] = std::minmax_element(sways, sways + 400);
    EXPECT_TRUE(*low == -65 && *high == 65) << *low << " " << *high;
    EXPECT_EQ(std::adjacent_find(sways, sways + 400), sways + 400);
}

}  // namespace
