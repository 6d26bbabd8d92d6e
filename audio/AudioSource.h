#pragma once
// The host's audio: a PCM WAV file or a deterministic built-in signal, handed to the plug-in
// as the player does, 576 signed 8-bit samples per channel per block.

#include <cstdint>
#include <string>
#include <vector>

inline constexpr int kBlockSamples = 576;

class AudioSource {
public:
    // Starts as the built-in signal.
    AudioSource() = default;

    // Loads an uncompressed PCM WAV file (8 or 16 bit, mono or stereo, any rate). On failure
    // the source is unchanged and error says why.
    bool loadWav(const std::string& path, std::string& error);

    // Fills both channels with the block that starts at timeMs of the audio (the file loops).
    void fillBlock(double timeMs, unsigned char waveform[2][kBlockSamples]) const;

    bool isBuiltIn() const { return left_.empty(); }
    // The file's samples as 16-bit stereo frames, left first (8-bit samples widened, a mono
    // channel doubled), for playing it; empty for the built-in signal.
    const std::vector<int16_t>& stereoPcm() const { return pcm_; }
    int sampleRate() const { return sampleRate_; }

private:
    int sampleRate_ = 44100;
    std::vector<int8_t> left_, right_;  // the file's samples, empty for the built-in signal
    std::vector<int16_t> pcm_;
};

// The built-in signal at one instant: a drum-like thump every half second under two tones per
// channel, so both the levels and the waveform change audibly from block to block.
void builtInSample(double seconds, int8_t& left, int8_t& right);
