#pragma once
// The sound server through PulseAudio's client library (PulseAudio itself, or PipeWire's pulse
// server): playing 16-bit stereo frames, and listing the sources. PulseCapture.h records.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct pa_simple;


class PulsePlayback {
public:
    ~PulsePlayback();
    // Opens a playback stream of 16-bit stereo frames at rate. False, with error set, when no
    // server takes it.
    bool open(int rate, std::string& error);
    // Writes frames, waiting while the server's buffer is full. False when the stream broke.
    bool write(const int16_t* frames, size_t count);
    // How long the frames written but not yet heard take to play, in microseconds.
    uint64_t latencyUs();
    // Waits until everything written has been played.
    void drain();
    void close();

private:
    pa_simple* stream_ = nullptr;
};

struct SourceInfo {
    std::string name, description;
    bool monitor = false;
};

// The server's sources; false, with error set, when there is no server.
bool listPulseSources(std::vector<SourceInfo>& sources, std::string& error);
