#pragma once
// A narrow view of a system's sound endpoints, as much of them as recording what the computer
// plays needs: the endpoints there are, the default output and how often it has changed, and a
// stream that records one endpoint (the mix an output plays, or what an input hears). The
// Windows program implements it over WASAPI; tests implement it with endpoints of their own.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/PcmConvert.h"

struct EndpointInfo {
    std::string id;          // the system's own name for it, stable while it is plugged in
    std::string name;        // the name people see ("Speakers", "Line In")
    bool output = false;     // an output (recorded as the mix it plays), else an input
};

// What reading a stream gave.
enum class PacketResult {
    Data,         // frames were copied
    Empty,        // nothing waiting (an output that plays nothing hands over nothing)
    Invalidated,  // the device went away (unplugged, disabled, its format changed)
    Failed,       // any other failure: the stream is of no more use
};

class SoundStream {
public:
    virtual ~SoundStream() = default;
    virtual PcmFormat format() const = 0;
    virtual int rate() const = 0;
    // How long after a frame is handed over here it is heard, in seconds: an output's mix is
    // handed over as it goes to the device, which plays it that much later. 0 when unknown.
    virtual double leadSeconds() const = 0;
    // Copies the next packet's frames into bytes (resized to fit); silent: the system says the
    // packet is silence (its bytes are then zeros). Never waits.
    virtual PacketResult read(std::vector<uint8_t>& bytes, size_t& frames, bool& silent) = 0;
};

class SoundEndpoints {
public:
    virtual ~SoundEndpoints() = default;
    // Called on the recording thread before and after it uses the endpoints.
    virtual void threadStarts() {}
    virtual void threadEnds() {}
    // The active endpoints, outputs and inputs; false, with error set, when the system's sound
    // service cannot be asked.
    virtual bool list(std::vector<EndpointInfo>& endpoints, std::string& error) = 0;
    // The default output; false, with error set, when there is none.
    virtual bool defaultOutput(EndpointInfo& endpoint, std::string& error) = 0;
    // How many times the default output has changed since the start (any thread).
    virtual unsigned defaultChanges() const = 0;
    // Starts recording an endpoint; null, with error set, on failure (an input that is gone,
    // an output that refuses to hand over its mix).
    virtual std::unique_ptr<SoundStream> open(const EndpointInfo& endpoint, std::string& error) = 0;
};
