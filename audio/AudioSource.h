#pragma once
// The sound a front end without a live source shows: a PCM WAV file or the deterministic
// built-in signal, handed over as the player does, a block of kWaveformSamples signed 8-bit
// samples per channel.

#include <cstdint>
#include <string>
#include <vector>

#include "audio/WaveformBlock.h"

class AudioSource {
public:
    // Starts as the built-in signal.
    AudioSource() = default;

    // Loads an uncompressed PCM WAV file (8 or 16 bit, mono or stereo, any rate). On failure
    // the source is unchanged and error says why.
    bool loadWav(const std::string& path, std::string& error);

    // Fills both channels with the block that starts at timeMs of the audio (the file loops).
    void fillBlock(double timeMs, unsigned char waveform[2][kWaveformSamples]) const;

    bool isBuiltIn() const { return pcm_.empty(); }
    // The file's samples as 16-bit stereo frames, left first (8-bit samples widened, a mono
    // channel doubled), for playing it; empty for the built-in signal.
    const std::vector<int16_t>& stereoPcm() const { return pcm_; }
    int sampleRate() const { return sampleRate_; }

private:
    int sampleRate_ = 44100;
    std::vector<int16_t> pcm_;  // the file's frames, empty for the built-in signal
};
