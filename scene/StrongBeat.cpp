#include "scene/StrongBeat.h"

bool StrongBeat::take(const FrameState& f) {
    // motion.loudness[0] is this frame's; 1 to 9 the frames before, newest first.
    float sum = 0;
    for (int i = 1; i < 10; ++i) sum += f.motion.loudness[i];
    const bool beat = f.rawLoudness >= kLeast && f.rawLoudness >= kRise * (sum / 9) && !last_;
    last_ = f.rawLoudness >= kLeast && f.rawLoudness >= kRise * (sum / 9);
    return beat;
}
