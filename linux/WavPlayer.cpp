#include "linux/WavPlayer.h"

#include <algorithm>
#include <utility>

WavPlayer::WavPlayer(const std::vector<int16_t>& pcm, int rate, bool loop, Now now)
    : now_(now ? std::move(now) : Now([] { return Clock::now(); })),
      pcm_(pcm), frames_(pcm.size() / 2), rate_(rate), loop_(loop),
      window_(kWaveformSamples * 2, 0) {}

WavPlayer::~WavPlayer() { stop(); }

bool WavPlayer::start(std::string& error) {
    if (!playback_.open(rate_, error)) return false;
    stamp_ = now_();
    thread_ = std::thread([this] { run(); });
    return true;
}

void WavPlayer::startSilent() {
    std::lock_guard<std::mutex> lock(mutex_);
    silent_ = true;
    stamp_ = now_();
}

void WavPlayer::run() {
    const uint64_t chunk = static_cast<uint64_t>(rate_ / 100 > 0 ? rate_ / 100 : 1);  // 10 ms
    uint64_t written = 0;
    while (!stopping_.load()) {
        if (!loop_ && written >= frames_) break;
        const uint64_t at = written % frames_;
        const uint64_t count = std::min(chunk, frames_ - at);
        if (!playback_.write(pcm_.data() + at * 2, count)) break;
        written += count;
        const uint64_t latency = playback_.latencyUs();
        const uint64_t held = latency * static_cast<uint64_t>(rate_) / 1000000;
        std::lock_guard<std::mutex> lock(mutex_);
        written_ = written;
        heardAt_ = written > held ? written - held : 0;
        stamp_ = now_();
    }
    if (!stopping_.load()) playback_.drain();
    std::lock_guard<std::mutex> lock(mutex_);
    heardAt_ = written_;
    stamp_ = now_();
    drained_ = true;
}

void WavPlayer::stop() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
    playback_.close();
}

uint64_t WavPlayer::heardFrame() const {
    std::lock_guard<std::mutex> lock(mutex_);
    const double seconds = std::chrono::duration<double>(now_() - stamp_).count();
    const uint64_t since = static_cast<uint64_t>(seconds * rate_);
    if (silent_) return loop_ ? since : std::min(since, frames_);
    // Between writes the server plays on; never ahead of what it was given.
    return std::min(heardAt_ + (drained_ ? 0 : since), written_);
}

bool WavPlayer::finished() const {
    if (loop_) return false;
    if (silent_) return heardFrame() >= frames_;
    return drained_.load();
}

void WavPlayer::heardBlock(uint8_t block[2][kWaveformSamples]) const {
    const uint64_t heard = heardFrame();
    // The block ends at the frame heard now; before the start and after the end it is silent.
    for (uint64_t i = 0; i < kWaveformSamples; ++i) {
        const uint64_t back = kWaveformSamples - i;
        bool inside = heard >= back && (loop_ || heard - back < frames_);
        uint64_t at = inside ? (heard - back) % frames_ : 0;
        window_[i * 2] = inside ? pcm_[at * 2] : 0;
        window_[i * 2 + 1] = inside ? pcm_[at * 2 + 1] : 0;
    }
    blockFromFrames(window_.data(), kWaveformSamples, block);
}
