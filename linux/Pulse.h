#pragma once
// The sound server through PulseAudio's client library (PulseAudio itself, or PipeWire's pulse
// server): recording a source into a sample ring on a thread of its own, playing 16-bit stereo
// frames, and listing the sources.

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "audio/SampleRing.h"

struct pa_simple;

// The monitor of the default output: what the computer plays.
inline constexpr const char* kDefaultMonitor = "@DEFAULT_MONITOR@";
inline constexpr int kCaptureRate = 44100;
// Frames per read: 5 ms of sound, so a block reaches the picture soon after it was played.
inline constexpr int kCaptureChunkFrames = 220;

class PulseCapture {
public:
    ~PulseCapture();
    // Connects to source (a PulseAudio source name) and starts the thread that pushes what it
    // records into ring. False, with error set, when the server or the source is not there.
    bool start(const std::string& source, SampleRing& ring, std::string& error);
    // Ends the thread and the connection.
    void stop();
    // False once the recording broke off (the server went away).
    bool running() const { return running_.load(); }
    // The server's last reported recording latency, in microseconds.
    uint64_t latencyUs() const { return latencyUs_.load(); }

private:
    void run(SampleRing& ring);
    pa_simple* stream_ = nullptr;
    std::thread thread_;
    std::atomic<bool> stopping_{false}, running_{false};
    std::atomic<uint64_t> latencyUs_{0};
};

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
