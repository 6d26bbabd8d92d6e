#include "linux/SoundFeed.h"

#include <cstring>
#include <string>

#include "linux/Say.h"

void SoundFeed::start() {
    kind_ = options_.signal == "builtin"   ? Kind::BuiltIn
            : options_.signal == "silence" ? Kind::Silence
            : options_.wav.empty()         ? Kind::Capture
                                           : Kind::Wav;
    std::string error;
    if (kind_ == Kind::Capture) {
        if (!capture_.start(options_.source, ring_, error)) {
            say("no sound (" + error + "); the scene runs on silence");
            kind_ = Kind::Silence;
        }
    } else if (kind_ == Kind::Wav) {
        player_ = std::make_unique<WavPlayer>(music_.stereoPcm(), music_.sampleRate(), options_.loop);
        if (!player_->start(error)) {
            say("no sound server (" + error + "); " + options_.wav + " is shown without sound");
            player_->startSilent();
        }
    }
}

void SoundFeed::fill(uint8_t waveform[2][kWaveformSamples], long frame) {
    switch (kind_) {
        case Kind::Capture:  // the block being heard now, not the newest the monitor gave
            ring_.heardBlock(seconds(), waveform);
            break;
        case Kind::Wav:
            player_->heardBlock(waveform);
            break;
        case Kind::BuiltIn:  // the player's 25 ms a block, whatever the frame rate
            music_.fillBlock(static_cast<double>(frame) * 25.0, waveform);
            break;
        case Kind::Silence:
            std::memset(waveform, 0, sizeof(uint8_t[2][kWaveformSamples]));
            break;
    }
}

void SoundFeed::stop() {
    capture_.stop();
    if (player_) player_->stop();
}
