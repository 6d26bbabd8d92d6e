#pragma once
// The per-frame values taken from the waveform: channel levels, spin angles, sway, loudness,
// pulsar sprite frames and the last ten frames' motion. Nothing runs on a clock: every value
// advances by one step per drawn frame.

#include <cstdint>

#include "audio/WaveformBlock.h"

struct MotionHistory {
    float angleLeft[10] = {};
    float angleRight[10] = {};
    float loudness[10] = {};  // entry 0 is the newest
};

struct FrameState {
    int levelLeft = 0, levelRight = 0;  // 0..127
    float angleLeft = 0, angleRight = 0;  // degrees, grow 1 to 4 a frame, kept within 0..360
    float swayAngle = 0;                  // -65..65, one degree a frame
    float swayStep = 1;
    float rawLoudness = 0;               // this frame's loudness, 0.1..1
    float previousRaw[2] = {0, 0};       // the two frames before, the older first
    float loudness = 0;                  // mean of the last three raw values
    int spriteFrameLeft = 0, spriteFrameRight = 0;  // 0..9
    MotionHistory motion;

    // One frame's step from the two channels of signed 8-bit samples.
    void advance(const uint8_t waveform[2][kWaveformSamples]);

    // The VU meter's spokes for this frame's loudness.
    int vuSpokes() const { return static_cast<int>(loudness * 63); }
};

// Twice the mean absolute sample of a channel, at most 127.
int channelLevel(const uint8_t samples[kWaveformSamples]);
