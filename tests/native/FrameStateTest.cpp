#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "scene/FrameState.h"

namespace {

struct Waveform {
    uint8_t samples[2][kWaveformSamples];
    Waveform(int left, int right) {
        std::memset(samples[0], static_cast<uint8_t>(left), kWaveformSamples);
        std::memset(samples[1], static_cast<uint8_t>(right), kWaveformSamples);
    }
};

TEST(FrameStateTest, SilenceAndFullScaleLevelsAnglesLoudnessAndSway) {
    FrameState f;
    const Waveform silence(0, 0), loud(-128, -128), some(20, -100);
    const float loudness[3] = {0.1f / 3, 0.2f / 3, 0.1f};  // the mean of three frames
    for (int i = 0; i < 3; ++i) {
        f.advance(silence.samples);
        EXPECT_NEAR(f.loudness, loudness[i], 1e-7) << i;
        EXPECT_FLOAT_EQ(f.angleLeft + f.angleRight, 2 * (i + 1)) << i;  // a degree a frame
    }
    EXPECT_EQ(f.levelLeft + f.levelRight + f.spriteFrameLeft + f.spriteFrameRight, 0);
    EXPECT_EQ(f.vuSpokes(), 6);
    // The history holds the newest frame first.
    EXPECT_EQ((std::vector<float>(f.motion.angleLeft, f.motion.angleLeft + 4)),
              (std::vector<float>{3, 2, 1, 0}));
    EXPECT_FLOAT_EQ(f.motion.loudness[1], 0.2f / 3);

    for (int i = 0; i < 3; ++i) f.advance(loud.samples);  // capped at 127: four degrees a frame
    EXPECT_FLOAT_EQ(f.angleLeft, 3 + 12);
    EXPECT_EQ(f.levelRight * 100 + f.vuSpokes(), 127 * 100 + 63);
    EXPECT_EQ(f.spriteFrameLeft, 9);
    f.advance(some.samples);  // 100 a sample is 200, capped; 20 a sample gives 40
    EXPECT_EQ(f.levelLeft * 1000 + f.levelRight, 40127);
    EXPECT_EQ(f.spriteFrameLeft, 40 * 9 / 127);

    // Angles wrap past 360 (exactly 360 stays); the sway turns at +-65.
    FrameState wrap;
    wrap.angleLeft = 359;
    wrap.angleRight = 358.5f;
    wrap.advance(silence.samples);
    EXPECT_FLOAT_EQ(wrap.angleLeft * 1000 + wrap.angleRight, 360000 + 359.5f);
    wrap.advance(silence.samples);
    EXPECT_FLOAT_EQ(wrap.angleLeft * 1000 + wrap.angleRight, 1000 + 0.5f);
    float sways[400];
    for (float& a : sways) {
        f.advance(silence.samples);
        a = f.swayAngle;
    }
    EXPECT_FLOAT_EQ(*std::max_element(sways, sways + 400), 65);
    EXPECT_FLOAT_EQ(*std::min_element(sways, sways + 400), -65);
    EXPECT_EQ(std::adjacent_find(sways, sways + 400), sways + 400);  // never stands still
}

}  // namespace
