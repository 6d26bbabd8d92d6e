#include "audio/SampleRing.h"

#include <algorithm>
#include <cstring>

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
