#pragma once
// Where the picture's sound comes from, chosen once at the start: what a sound server source
// records (the default output's monitor unless one is named), a WAV file the program plays,
// the built-in signal, or silence. A source that fails falls back to silence and says so.

#include <cstdint>
#include <memory>

#include "audio/AudioSource.h"
#include "audio/SampleRing.h"
#include "linux/Options.h"
#include "linux/Pulse.h"
#include "linux/WavPlayer.h"

class SoundFeed {
public:
    // music: the options' WAV file, already loaded (or the built-in signal); kept by reference.
    SoundFeed(const Options& options, const AudioSource& music) : options_(options), music_(music) {}

    void start();

    // This frame's block; frame counts the frames drawn before it (the built-in signal's clock).
    void fill(uint8_t waveform[2][kWaveformSamples], long frame);

    // Whether a WAV file has been played to its end.
    bool finished() const { return player_ && player_->finished(); }

    // The recording's latency as the server last reported it (0 when not recording).
    uint64_t latencyUs() const { return capture_.latencyUs(); }

    void stop();

private:
    enum class Kind { Capture, Wav, BuiltIn, Silence };
    const Options& options_;
    const AudioSource& music_;
    Kind kind_ = Kind::Silence;
    SampleRing ring_;
    PulseCapture capture_;
    std::unique_ptr<WavPlayer> player_;
};
