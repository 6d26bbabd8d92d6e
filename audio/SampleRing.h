#pragma once
// A ring of the newest 16-bit stereo frames (left first) that a sound thread fills while the
// picture's thread reads a block: the newest one, or the one being heard now when the
// recording says which frame that is (see HeardClock.h).

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "audio/HeardClock.h"
#include "audio/WaveformBlock.h"

class SampleRing {
public:
    explicit SampleRing(size_t capacityFrames = 8192);

    // Appends frames (any thread).
    void push(const int16_t* frames, size_t count);
    // Forgets the frames and the clock: the next blocks are silent until new frames arrive.
    void clear();
    // Forgets everything, the count of frames pushed too, and holds capacityFrames from now on
    // (a new recording, perhaps at another rate).
    void reset(size_t capacityFrames);
    // The block of the newest frames (any thread).
    void newestBlock(uint8_t block[2][kWaveformSamples]) const;
    // Tells which frame is heard when; frames count from the last reset (any thread).
    void setHeardClock(const HeardClock& clock);
    // The block of the frames heard at now: the block ending at the clock's frame, or the oldest
    // the ring holds when that is gone, or the newest while no clock is known or the clock runs
    // ahead of the frames. Silence once the clock ran past the newest frame and those arrived
    // kStaleSeconds ago: the recording stopped delivering, and what was heard last must not
    // freeze on the screen.
    void heardBlock(double now, uint8_t block[2][kWaveformSamples]) const;
    // How many frames were pushed since the start (or the last reset).
    uint64_t framesPushed() const;

    static constexpr double kStaleSeconds = 0.25;

private:
    // The block of frames [end - kWaveformSamples, end); those not held are silent. Locked.
    void blockEndingAt(uint64_t end, uint8_t block[2][kWaveformSamples]) const;

    mutable std::mutex mutex_;
    std::vector<int16_t> samples_;  // capacity x 2, the oldest overwritten first
    size_t next_ = 0;               // the frame index written next
    uint64_t pushed_ = 0;
    HeardClock clock_;
    mutable std::vector<int16_t> ordered_;  // the reader's copy, oldest first
};
