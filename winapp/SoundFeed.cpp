#include "winapp/SoundFeed.h"

#include <cstring>
#include <utility>

#include "winapp/ProgramWindow.h"

void SoundFeed::start() {
    kind_ = options_.signal == "builtin"   ? Kind::BuiltIn
            : options_.signal == "silence" ? Kind::Silence
            : options_.wav.empty()         ? Kind::Capture
                                           : Kind::Wav;
    if (kind_ == Kind::Capture) {
        capture_ = std::make_unique<EndpointCapture>(endpoints_, ring_, options_.source, [] { return seconds(); });
        capture_->start();
    } else if (kind_ == Kind::Wav) {
        player_ = std::make_unique<WavPlayback>(music_, options_.loop);
        std::string error;
        if (!player_->start(error)) {
            messages_.push_back(error + "; " + options_.wav + " is shown without sound");
            player_->startSilent(seconds());
        }
    }
}

void SoundFeed::fill(uint8_t waveform[2][kWaveformSamples], long frame) {
    switch (kind_) {
        case Kind::Capture:  // the block being heard now, not the newest the output handed over
            ring_.heardBlock(seconds(), waveform);
            break;
        case Kind::Wav:
            player_->heardBlock(seconds(), waveform);
            break;
        case Kind::BuiltIn:  // the player's 25 ms a block, whatever the frame rate
            music_.fillBlock(static_cast<double>(frame) * 25.0, waveform);
            break;
        case Kind::Silence:
            std::memset(waveform, 0, sizeof(uint8_t[2][kWaveformSamples]));
            break;
    }
}

bool SoundFeed::finished() const { return player_ && player_->finished(seconds()); }

std::vector<std::string> SoundFeed::takeMessages() {
    std::vector<std::string> lines = std::exchange(messages_, {});
    if (capture_)
        for (std::string& line : capture_->takeMessages()) lines.push_back(std::move(line));
    return lines;
}

void SoundFeed::stop() {
    if (capture_) capture_->stop();
    if (player_) player_->stop();
}
