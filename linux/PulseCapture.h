#pragma once
// Recording what the computer plays (or another source) through PulseAudio's asynchronous client
// library, with PulseAudio itself or PipeWire's pulse server.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/SampleRing.h"

// What a recording asks the server for at a time: 10-20 ms keeps the picture close to the sound
// without pulling the whole sound graph's period down (as 5 ms did under PipeWire).
inline constexpr int kCaptureFragmentMs = 15;

// Records a source on the client library's own thread (its asynchronous API): the default
// output's monitor, followed when the user picks another output, or a named source. At the
// source's own rate and sample format, converted into the ring, which is also told which frame
// is being heard (the monitor's lead over the device, as the server reports it). When the
// server is not there or goes away, it connects again with back-off; meanwhile the ring is
// silent. It never waits for the server, so it stops at once whatever the server does.
class PulseCapture {
public:
    PulseCapture();
    ~PulseCapture();
    // Starts recording source (empty: the default output's monitor) into ring. False, with
    // error set, only when the client library cannot start its thread.
    bool start(const std::string& source, SampleRing& ring, std::string& error);
    // Ends the recording, the connection and the thread.
    void stop();
    // What happened since the last call that the user should be told (no server, the server
    // lost and back, an unknown source, another output followed), a line each.
    std::vector<std::string> takeMessages();
    // How far the recorded source leads what is heard, in microseconds (negative: it lags),
    // as last reported; 0 while nothing is recorded.
    int64_t leadUs() const;

private:
    struct Loop;
    std::unique_ptr<Loop> loop_;
};
