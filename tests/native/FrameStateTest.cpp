#include <gtest/gtest.h>

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
    f.advance(silence.samples);
    EXPECT_EQ(f.levelLeft + f.levelRight, 0);
    EXPECT_FLOAT_EQ(f.angleLeft, 1);
    EXPECT_FLOAT_EQ(f.rawLoudness, 0.1f);
    EXPECT_FLOAT_EQ(f.loudness, 0.1f / 3);
    f.advance(silence.samples);
    EXPECT_FLOAT_EQ(f.loudness, 0.2f / 3);
    EXPECT_FLOAT_EQ(f.angleRight, 2);
    f.advance(silence.samples);
    EXPECT_NEAR(f.loudness, 0.1f, 1e-7);
    EXPECT_EQ(f.vuSpokes(), 6);
    EXPECT_EQ(f.spriteFrameLeft + f.spriteFrameRight, 0);
    // The history holds the newest frame first.
    EXPECT_FLOAT_EQ(f.motion.angleLeft[0], 3);
    EXPECT_FLOAT_EQ(f.motion.angleLeft[2], 1);
    EXPECT_FLOAT_EQ(f.motion.loudness[1], 0.2f / 3);
    EXPECT_FLOAT_EQ(f.motion.angleLeft[3], 0);
}

TEST(FrameStateTest, FullScaleCapsTheLevelAndSpinsFourDegrees) {
    FrameState f;
    Waveform loud(-128, -128);
    uint8_t mixed[2][kWaveformSamples];
    std::memcpy(mixed, loud.samples, sizeof mixed);
    EXPECT_EQ(channelLevel(mixed[0]), 127);  // 73728 / 288 = 256, capped
    for (int i = 0; i < 3; ++i) f.advance(loud.samples);
    EXPECT_FLOAT_EQ(f.angleLeft, 12);
    EXPECT_FLOAT_EQ(f.rawLoudness, 1.0f);
    EXPECT_EQ(f.vuSpokes(), 63);
    EXPECT_EQ(f.spriteFrameLeft, 9);
    // Levels in between: 100 per sample is 200, capped; 20 per sample gives 40.
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
    float highest = 0, lowest = 0;
    for (int i = 0; i < 400; ++i) {
        sway.advance(silence.samples);
        highest = std::max(highest, sway.swayAngle);
        lowest = std::min(lowest, sway.swayAngle);
        if (i == 64) {
            EXPECT_FLOAT_EQ(sway.swayAngle, 65);
        }
        if (i == 65) {
            EXPECT_FLOAT_EQ(sway.swayAngle, 64);
        }
    }
    EXPECT_FLOAT_EQ(highest, 65);
    EXPECT_FLOAT_EQ(lowest, -65);
}

}  // namespace
