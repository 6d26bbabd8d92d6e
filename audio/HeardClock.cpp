#include "audio/HeardClock.h"

#include <cmath>

#include "audio/WaveformBlock.h"

namespace {
// The recording's fragments (10-20 ms) and the wait for the next frame: headroom over the lead.
constexpr double kSlackSeconds = 0.1;
}  // namespace

HeardClock heardClockFromLead(uint64_t framesRead, double leadSeconds, double at, int rate) {
    HeardClock clock;
    clock.frame = static_cast<double>(framesRead) - leadSeconds * rate;
    clock.at = at;
    clock.rate = rate;
    clock.arrivedAt = at;
    return clock;
}

size_t historyFramesFor(int rate) {
    if (rate <= 0) return kWaveformSamples;
    return static_cast<size_t>(std::ceil(rate * (kMaxLeadSeconds + kSlackSeconds))) + kWaveformSamples;
}
