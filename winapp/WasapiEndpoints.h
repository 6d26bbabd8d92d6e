#pragma once
// The system's sound endpoints through WASAPI (the Windows Core Audio API): an output is
// recorded as the mix it plays (loopback, in shared mode, at the mix format), an input as what
// it hears. The default output's changes are counted from IMMNotificationClient's notices.
// COM objects live in the multi-threaded apartment of the thread that calls threadStarts().

#include <memory>

#include "audio/SoundEndpoints.h"

class WasapiEndpoints : public SoundEndpoints {
public:
    WasapiEndpoints();
    ~WasapiEndpoints() override;

    // Joins COM's multi-threaded apartment, opens the device enumerator and listens for changes
    // of the default output; threadEnds() undoes it.
    void threadStarts() override;
    void threadEnds() override;
    bool list(std::vector<EndpointInfo>& endpoints, std::string& error) override;
    bool defaultOutput(EndpointInfo& endpoint, std::string& error) override;
    unsigned defaultChanges() const override;
    std::unique_ptr<SoundStream> open(const EndpointInfo& endpoint, std::string& error) override;

private:
    struct State;
    std::unique_ptr<State> state_;
};
