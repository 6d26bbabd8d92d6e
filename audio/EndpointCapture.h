#pragma once
// Recording an endpoint (see SoundEndpoints.h) into the sample ring: the default output's mix,
// followed when the default output changes, or an endpoint named by its name or id. A device
// that goes away is opened again, with a growing wait between tries, and meanwhile the picture
// is silent; an output that plays nothing hands over nothing, which the ring turns into silence
// (see SampleRing::heardBlock), never into a frozen picture. The ring is told which frame is
// heard: the newest less the stream's lead, so that the picture shows what is heard.
//
// step() is one turn of the recording thread; start() runs it on a thread of its own. Tests
// call step() themselves, with a clock of their own.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "audio/SampleRing.h"
#include "audio/SoundEndpoints.h"

class EndpointCapture {
public:
    using Now = std::function<double()>;  // seconds, on the clock the picture reads the ring by

    // wanted: an endpoint's name or id (case does not matter); empty: the default output.
    EndpointCapture(SoundEndpoints& endpoints, SampleRing& ring, std::string wanted, Now now);
    ~EndpointCapture();

    // Runs step() on a thread of its own until stop().
    void start();
    void stop();

    // Opens what is to be recorded when nothing is (or the default output changed), then takes
    // everything the stream has into the ring. Returns the seconds until the next step is due.
    double step();

    // What the user should be told since the last call (no device, a device gone and back,
    // another output followed), a line each (any thread).
    std::vector<std::string> takeMessages();
    // The lead the picture is delayed by, in microseconds; 0 while nothing is recorded.
    int64_t leadUs() const { return leadUs_.load(); }
    // The endpoint being recorded (its name), empty when none (for tests).
    std::string recording() const;

    static constexpr double kFirstRetry = 0.25, kLongestRetry = 2.0;  // seconds
    static constexpr double kPoll = 0.005;  // seconds between reads

private:
    void tell(const std::string& text);
    bool resolve(EndpointInfo& endpoint, std::string& error);
    void openWanted(double now);
    void drop(double now, double retryAfter);
    void read(double now);

    SoundEndpoints& endpoints_;
    SampleRing& ring_;
    const std::string wanted_;
    const Now now_;
    std::unique_ptr<SoundStream> stream_;
    EndpointInfo current_;
    unsigned changesSeen_ = 0;
    double retryAt_ = 0, retryWait_ = kFirstRetry;
    bool everRecorded_ = false, failureSaid_ = false, lost_ = false;
    std::vector<uint8_t> bytes_;
    std::vector<int16_t> converted_;

    mutable std::mutex mutex_;  // the messages and the endpoint's name, read by the picture's thread
    std::vector<std::string> messages_;
    std::string recordingName_;
    std::atomic<int64_t> leadUs_{0};

    std::thread thread_;
    std::mutex wakeMutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
};
