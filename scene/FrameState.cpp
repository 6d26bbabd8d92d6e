#include "scene/FrameState.h"

#include <cstdlib>

namespace {

float advanceAngle(float angle, int level) {
    angle += static_cast<float>(level) * 0.007874016f * 3 + 1;  // 1/127 in single precision
    if (angle > 360) angle -= 360;  // exactly 360 stays
    return angle;
}

void shiftIn(float (&history)[10], float newest) {
    for (int i = 9; i > 0; --i) history[i] = history[i - 1];
    history[0] = newest;
}

}  // namespace

int channelLevel(const uint8_t samples[kWaveformSamples]) {
    int sum = 0;
    for (int i = 0; i < kWaveformSamples; ++i) sum += std::abs(static_cast<int8_t>(samples[i]));
    int level = sum / 288;
    return level > 127 ? 127 : level;
}

void FrameState::advance(const uint8_t waveform[2][kWaveformSamples]) {
    levelLeft = channelLevel(waveform[0]);
    levelRight = channelLevel(waveform[1]);
    angleLeft = advanceAngle(angleLeft, levelLeft);
    angleRight = advanceAngle(angleRight, levelRight);

    if (swayAngle == -65) swayStep = 1;
    if (swayAngle == 65) swayStep = -1;
    swayAngle += swayStep;

    rawLoudness = static_cast<float>(levelLeft + levelRight) * 0.003937008f;  // 1/254
    if (rawLoudness < 0.1f) rawLoudness = 0.1f;
    spriteFrameLeft = levelLeft * 9 / 127;
    spriteFrameRight = levelRight * 9 / 127;

    loudness = (previousRaw[0] + previousRaw[1] + rawLoudness) * 0.33333334f;
    previousRaw[0] = previousRaw[1];
    previousRaw[1] = rawLoudness;

    shiftIn(motion.angleLeft, angleLeft);
    shiftIn(motion.angleRight, angleRight);
    shiftIn(motion.loudness, loudness);
}
