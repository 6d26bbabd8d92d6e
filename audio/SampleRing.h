#pragma once
// Sound as the picture takes it: 16-bit stereo frames (left first) turned into the player's
// block of 576 signed 8-bit samples per channel, and a ring of the newest frames that a sound
// thread fills while the picture's thread reads the newest block.

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "scene/FrameState.h"

// The block made of the last kWaveformSamples frames of frames[0..count) (16-bit stereo,
// interleaved): each sample's top byte, as the player hands 16-bit sound to a plug-in. With
// fewer frames than a block, the block starts with silence.
void blockFromFrames(const int16_t* frames, size_t count, uint8_t block[2][kWaveformSamples]);

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
