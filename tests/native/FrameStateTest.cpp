#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "scene/FrameState.h"

namespace {

struct Waveform {
    uint8_t samples[2][kWaveformSamples];
    explicit Waveform(int left, int right) {
        std::memset(samples[0], static_cast<uint8_t>(static_cast<int8_t>(left)), kWaveformSamples);
        std::memset(samples[1], static_cast<uint8_t>(static_cast<int8_t>(right)), kWaveformSamples);
    }
};

TEST(FrameStateTest, SilenceGrowsAnglesByOneDegreeAndRampsTheLoudness) {
    FrameState f;
    Waveform silence(0, 0);
    const float loudness[3] = {0.1f / 3, 0.2f / 3, 0.1f};
    for (int i = 0; i < 3; ++i) {
        f.advance(silence.samples);
        EXPECT_NEAR(f.loudness, loudness[i], 1e-7) << i;
        EXPECT_FLOAT_EQ(f.angleLeft, i + 1);
        EXPECT_FLOAT_EQ(f.angleRight, i + 1);
    }
    EXPECT_FLOAT_EQ(f.rawLoudness, 0.1f);
    EXPECT_EQ(f.levelLeft + f.levelRight + f.spriteFrameLeft + f.spriteFrameRight, 0);
    EXPECT_EQ(f.vuSpokes(), 6);
    // The history holds the newest frame first.
    EXPECT_FLOAT_EQ(f.motion.angleLeft[0], 3);
    EXPECT_FLOAT_EQ(f.motion.angleLeft[2], 1);
    EXPECT_FLOAT_EQ(f.motion.angleLeft[3], 0);
    EXPECT_FLOAT_EQ(f.motion.loudness[1], 0.2f / 3);
}

TEST(FrameStateTest, FullScaleCapsTheLevelAndSpinsFourDegrees) {
    FrameState f;
    Waveform loud(-128, -128);
    EXPECT_EQ(channelLevel(loud.samples[0]), 127);  // 73728 / 288 = 256, capped
    for (int i = 0; i < 3; ++i) f.advance(loud.samples);
    EXPECT_FLOAT_EQ(f.angleLeft, 12);
    EXPECT_FLOAT_EQ(f.rawLoudness, 1.0f);
    EXPECT_EQ(f.vuSpokes(), 63);
    EXPECT_EQ(f.spriteFrameLeft, 9);
    // 100 per sample is 200, capped; 20 per sample gives 40.
    Waveform some(20, -100);
    f.advance(some.samples);
    EXPECT_EQ(f.levelLeft, 40);
    EXPECT_EQ(f.levelRight, 127);
    EXPECT_EQ(f.spriteFrameLeft, 40 * 9 / 127);
}

TEST(FrameStateTest, AnglesWrapPast360AndTheSwayTurnsAt65) {
    FrameState f;
    Waveform silence(0, 0);
    f.angleLeft = 359;
    f.angleRight = 358.5f;
    f.advance(silence.samples);
    EXPECT_FLOAT_EQ(f.angleLeft, 360);  // exactly 360 stays
    EXPECT_FLOAT_EQ(f.angleRight, 359.5f);
    f.advance(silence.samples);
    EXPECT_FLOAT_EQ(f.angleLeft, 1);
    EXPECT_FLOAT_EQ(f.angleRight, 0.5f);

    FrameState sway;
    float sways[400];
    for (float& a : sways) {
        sway.advance(silence.samples);
        a = sway.swayAngle;
    }
    EXPECT_FLOAT_EQ(sways[64], 65);
    EXPECT_FLOAT_EQ(sways[65], 64);
    EXPECT_FLOAT_EQ(*std::max_element(sways, sways + 400), 65);
    EXPECT_FLOAT_EQ(*std::min_element(sways, sways + 400), -65);
}

}  // namespace
