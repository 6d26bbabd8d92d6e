#include "audio/SampleRing.h"

#include <algorithm>
#include <cmath>
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
    clock_ = HeardClock{};
}

void SampleRing::reset(size_t capacityFrames) {
    std::lock_guard<std::mutex> lock(mutex_);
    samples_.assign(std::max<size_t>(capacityFrames, kWaveformSamples) * 2, 0);
    next_ = 0;
    pushed_ = 0;
    clock_ = HeardClock{};
}

void SampleRing::newestBlock(uint8_t block[2][kWaveformSamples]) const {
    std::lock_guard<std::mutex> lock(mutex_);
    blockEndingAt(pushed_, block);
}

void SampleRing::setHeardClock(const HeardClock& clock) {
    std::lock_guard<std::mutex> lock(mutex_);
    clock_ = clock;
}

void SampleRing::heardBlock(double now, uint8_t block[2][kWaveformSamples]) const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (clock_.rate <= 0) {
        blockEndingAt(pushed_, block);
        return;
    }
    const double heard = clock_.frameAt(now);
    if (heard >= static_cast<double>(pushed_)) {
        if (now - clock_.arrivedAt > kStaleSeconds) blockEndingAt(0, block);  // all silent
        else blockEndingAt(pushed_, block);
        return;
    }
    // The oldest whole block the ring still holds, should the lead be longer than its history.
    const uint64_t capacity = samples_.size() / 2;
    const uint64_t oldestEnd = (pushed_ > capacity ? pushed_ - capacity : 0) + kWaveformSamples;
    const uint64_t end = heard <= 0 ? 0 : static_cast<uint64_t>(std::floor(heard));
    blockEndingAt(std::min(std::max(end, oldestEnd), pushed_), block);
}

void SampleRing::blockEndingAt(uint64_t end, uint8_t block[2][kWaveformSamples]) const {
    const uint64_t capacity = samples_.size() / 2;
    for (size_t i = 0; i < kWaveformSamples; ++i) {
        const uint64_t back = kWaveformSamples - i;  // frames from this one to end
        int16_t left = 0, right = 0;
        // Held: pushed, and among the newest capacity frames.
        if (end >= back && end - back + capacity >= pushed_ && end - back < pushed_) {
            const uint64_t age = pushed_ - (end - back);  // 1 for the newest
            const size_t at = static_cast<size_t>((next_ + capacity - age % capacity) % capacity);
            left = samples_[at * 2];
            right = samples_[at * 2 + 1];
        }
        ordered_[i * 2] = left;
        ordered_[i * 2 + 1] = right;
    }
    blockFromFrames(ordered_.data(), kWaveformSamples, block);
}

uint64_t SampleRing::framesPushed() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return pushed_;
}
