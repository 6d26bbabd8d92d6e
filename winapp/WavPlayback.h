#pragma once
// A WAV file played through the default output (the system's wave mapper) and the picture's
// block taken at the position the output reports as played. Without an output the file runs
// on the clock alone, silently.

#include <cstdint>
#include <string>

#include "audio/AudioSource.h"

class WavPlayback {
public:
    // music: the file, loaded; kept by reference.
    WavPlayback(const AudioSource& music, bool loop) : music_(music), loop_(loop) {}
    ~WavPlayback() { stop(); }

    // Starts playing; false, with error set, when there is no output to play it on (call
    // startSilent() then). now: the program's clock, in seconds.
    bool start(std::string& error);
    void startSilent(double now);
    void stop();

    // The block ending at the frame heard now.
    void heardBlock(double now, uint8_t block[2][kWaveformSamples]) const;
    // True once the file has been played to its end (never when looping).
    bool finished(double now) const;

private:
    double heardFrame(double now) const;

    const AudioSource& music_;
    const bool loop_;
    void* device_ = nullptr;  // the wave output's handle
    void* header_ = nullptr;  // its buffer's header
    double silentFrom_ = -1;  // the clock's start when playing silently
};
