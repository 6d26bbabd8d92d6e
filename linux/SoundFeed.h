#pragma once
// Where the picture's sound comes from, chosen once at the start: what a sound server source
// records (the default output's monitor, followed to another output, unless one is named), a
// WAV file the program plays, the built-in signal, or silence. While the server or the source
// is missing the picture runs on silence; what happened is told as messages.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/AudioSource.h"
#include "audio/SampleRing.h"
#include "frontend/Options.h"
#include "linux/PulseCapture.h"
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

    // How far the recorded source leads what is heard (the picture's delay), in microseconds;
    // 0 when not recording.
    int64_t leadUs() const { return capture_.leadUs(); }

    // What the user should be told about the sound since the last call, a line each.
    std::vector<std::string> takeMessages() { return capture_.takeMessages(); }

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
