#pragma once
// A ring of the newest 16-bit stereo frames (left first) that a sound thread fills while the
// picture's thread reads the newest block.

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "audio/WaveformBlock.h"

class SampleRing {
public:
    explicit SampleRing(size_t capacityFrames = 8192);

    // Appends frames (any thread).
    void push(const int16_t* frames, size_t count);
    // Forgets everything: the next blocks are silent until new frames arrive.
    void clear();
    // The block of the newest frames (any thread).
    void newestBlock(uint8_t block[2][kWaveformSamples]) const;
    // How many frames were pushed since the start.
    uint64_t framesPushed() const;

private:
    mutable std::mutex mutex_;
    std::vector<int16_t> samples_;  // capacity x 2, the oldest overwritten first
    size_t next_ = 0;               // the frame index written next
    uint64_t pushed_ = 0;
    mutable std::vector<int16_t> ordered_;  // the reader's copy, oldest first
};
