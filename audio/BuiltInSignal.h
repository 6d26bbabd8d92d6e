#pragma once
// The built-in signal: deterministic music-like sound for runs without a sound file.

#include <cstdint>

// The signal at one instant: a drum-like thump every half second under two tones per channel,
// so both the levels and the waveform change audibly from block to block.
void builtInSample(double seconds, int8_t& left, int8_t& right);
