#pragma once
// Where the Windows program's sound comes from, chosen once at the start: the default output's
// mix (followed to another output, unless an endpoint is named), a WAV file the program plays,
// the built-in signal, or silence. While there is no device the picture runs on silence; what
// happened is told as messages.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/AudioSource.h"
#include "audio/EndpointCapture.h"
#include "audio/SampleRing.h"
#include "frontend/Options.h"
#include "winapp/WasapiEndpoints.h"
#include "winapp/WavPlayback.h"

class SoundFeed {
public:
    // music: the options' WAV file, already loaded (or the built-in signal); kept by reference.
    SoundFeed(const Options& options, const AudioSource& music) : options_(options), music_(music) {}
    ~SoundFeed() { stop(); }

    void start();
    // This frame's block; frame counts the frames drawn before it (the built-in signal's clock).
    void fill(uint8_t waveform[2][kWaveformSamples], long frame);
    // Whether a WAV file has been played to its end.
    bool finished() const;
    // How far the recorded output leads what is heard (the picture's delay), in microseconds.
    int64_t leadUs() const { return capture_ ? capture_->leadUs() : 0; }
    // What the user should be told about the sound since the last call, a line each.
    std::vector<std::string> takeMessages();
    void stop();

private:
    enum class Kind { Capture, Wav, BuiltIn, Silence };
    const Options& options_;
    const AudioSource& music_;
    Kind kind_ = Kind::Silence;
    SampleRing ring_;
    WasapiEndpoints endpoints_;
    std::unique_ptr<EndpointCapture> capture_;
    std::unique_ptr<WavPlayback> player_;
    std::vector<std::string> messages_;
};
