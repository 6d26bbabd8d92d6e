#include "audio/SampleRing.h"

#include <algorithm>
#include <cstring>

void blockFromFrames(const int16_t* frames, size_t count, uint8_t block[2][kWaveformSamples]) {
    const size_t n = std::min<size_t>(count, kWaveformSamples);
    const size_t silent = kWaveformSamples - n;
    std::memset(block[0], 0, silent);
    std::memset(block[1], 0, silent);
    const int16_t* from = frames + (count - n) * 2;
    for (size_t i = 0; i < n; ++i) {
        // The arithmetic shift keeps the sign: the top byte of the two's-complement sample.
        block[0][silent + i] = static_cast<uint8_t>(static_cast<int8_t>(from[i * 2] >> 8));
        block[1][silent + i] = static_cast<uint8_t>(static_cast<int8_t>(from[i * 2 + 1] >> 8));
    }
}

SampleRing::SampleRing(size_t capacityFrames)
    : samples_(std::max<size_t>(capacityFrames, kWaveformSamples) * 2, 0),
      ordered_(kWaveformSamples * 2, 0) {}

void SampleRing::push(const int16_t* frames, size_t count) {
    std::lock_guard<std::mutex> lock(mutex_);
    const size_t capacity = samples_.size() / 2;
    if (count > capacity) {  // only the newest fit
        frames += (count - capacity) * 2;
        pushed_ += count - capacity;
        count = capacity;
    }
    while (count > 0) {
        size_t run = std::min(count, capacity - next_);
        std::memcpy(&samples_[next_ * 2], frames, run * 2 * sizeof(int16_t));
        frames += run * 2;
        count -= run;
        pushed_ += run;
        next_ = (next_ + run) % capacity;
    }
}

void SampleRing::clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::fill(samples_.begin(), samples_.end(), 0);
}

void SampleRing::newestBlock(uint8_t block[2][kWaveformSamples]) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const size_t capacity = samples_.size() / 2;
    const size_t start = (next_ + capacity - kWaveformSamples) % capacity;
    for (size_t i = 0; i < kWaveformSamples; ++i) {
        size_t at = (start + i) % capacity;
        ordered_[i * 2] = samples_[at * 2];
        ordered_[i * 2 + 1] = samples_[at * 2 + 1];
    }
    blockFromFrames(ordered_.data(), kWaveformSamples, block);
}

uint64_t SampleRing::framesPushed() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return pushed_;
}
