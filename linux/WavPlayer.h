#pragma once
// A WAV file played through the sound server on a thread of its own, and the picture's block
// taken at the position being heard: the frames written minus what the server still holds,
// carried forward on the clock between writes. Without a server the file runs on the clock
// alone, silently. The clock can be handed in, so that tests move time themselves.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "audio/WaveformBlock.h"
#include "linux/Pulse.h"

class WavPlayer {
public:
    using Clock = std::chrono::steady_clock;
    // The time now, asked from the playing thread too; by default the steady clock's.
    using Now = std::function<Clock::time_point()>;

    // pcm: 16-bit stereo frames (left first) at rate; the player keeps a reference.
    WavPlayer(const std::vector<int16_t>& pcm, int rate, bool loop, Now now = nullptr);
    ~WavPlayer();

    // Starts playing through the server; false, with error set, when there is none (the file
    // then runs on the clock: call startSilent()).
    bool start(std::string& error);
    void startSilent();
    void stop();

    // The block of the frames heard last.
    void heardBlock(uint8_t block[2][kWaveformSamples]) const;
    // The frame being heard now, counted from the start (beyond the file's length when looping).
    uint64_t heardFrame() const;
    // True once the file has been played to its end (never when looping).
    bool finished() const;

private:
    void run();

    const Now now_;
    const std::vector<int16_t>& pcm_;
    const uint64_t frames_;
    const int rate_;
    const bool loop_;
    PulsePlayback playback_;
    std::thread thread_;
    std::atomic<bool> stopping_{false}, drained_{false};
    bool silent_ = false;

    mutable std::mutex mutex_;
    uint64_t written_ = 0;     // frames handed to the server
    uint64_t heardAt_ = 0;     // the frame heard at stamp_
    Clock::time_point stamp_;  // when heardAt_ was worked out (or the silent start)
    mutable std::vector<int16_t> window_;  // the reader's copy of a block's frames
};
