#pragma once
// Which recorded frame is being heard now. A monitor source hands over what an output mixes
// before its device plays it, so the newest frame recorded is heard only later, by the output's
// latency (the lead); a microphone's newest frame was heard a little before it arrived. The
// recording thread tells, with each push, which frame is heard at that moment; the picture
// carries that forward on the clock and shows the block ending there.

#include <cstddef>
#include <cstdint>

struct HeardClock {
    double frame = 0;      // the frame (counted from the recording's start) heard at `at`
    double at = 0;         // seconds, on whatever clock the caller reads `now` from
    int rate = 0;          // frames a second; 0: nothing known, the newest frame is taken
    double arrivedAt = 0;  // when the newest frames arrived (the same clock)
    // The frame heard at now (the clock runs on at the recording's rate).
    double frameAt(double now) const { return frame + (now - at) * rate; }
};

// The longest lead the history keeps (Bluetooth outputs lead by 150-250 ms, a loaded desktop
// more): with a longer one the oldest block held is shown.
inline constexpr double kMaxLeadSeconds = 0.5;

// The clock of a recording of framesRead frames, the newest of them arrived at `at` and heard
// leadSeconds later (a negative lead: it was heard that long before, as a microphone's latency
// says).
HeardClock heardClockFromLead(uint64_t framesRead, double leadSeconds, double at, int rate);

// The frames of history a ring at rate needs for leads up to kMaxLeadSeconds, with room for a
// block and the fragments that arrive between a push and the picture.
size_t historyFramesFor(int rate);
