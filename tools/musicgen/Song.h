#pragma once
// "Vizorama Demo": our own piece of music for the demo and the recorded clip, composed here and
// synthesised from the score: drums, bass, pads and a melody in A minor at 120 beats a minute,
// 32 bars (about 66 seconds with the last chord's ring).

#include <cstdint>
#include <string>
#include <vector>

#include "tools/musicgen/Instruments.h"

inline constexpr double kSongTempo = 120.0;  // beats a minute
inline constexpr int kSongBars = 32;

// The whole song as stereo float samples, normalised to a peak of -1 dBFS.
StereoBuffer renderSong(int sampleRate);

// The song as 16-bit PCM, interleaved left and right (the WAV file's data).
std::vector<int16_t> toPcm16(const StereoBuffer& song);

// Writes 16-bit stereo PCM as a WAV file. False (and error set) on failure.
bool writeWav(const std::string& path, const std::vector<int16_t>& pcm, int sampleRate,
              std::string& error);
