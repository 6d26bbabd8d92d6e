#pragma once
// The block of sound a visualisation is handed each frame, as the player hands it: 576 signed
// 8-bit samples per channel, left then right; and how it is made from 16-bit stereo frames.

#include <cstddef>
#include <cstdint>

inline constexpr int kWaveformSamples = 576;

// A 16-bit sample as the block holds it: its top byte, sign kept, as the player hands 16-bit
// sound to a plug-in (the arithmetic shift keeps the two's-complement sign).
inline uint8_t blockSample(int16_t sample) {
    return static_cast<uint8_t>(static_cast<int8_t>(sample >> 8));
}

// The block made of the last kWaveformSamples frames of frames[0..count) (16-bit stereo,
// interleaved). With fewer frames than a block, the block starts with silence.
void blockFromFrames(const int16_t* frames, size_t count, uint8_t block[2][kWaveformSamples]);
