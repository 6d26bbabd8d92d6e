#pragma once
// Strong beats, found in the scene's own loudness values (FrameState), one frame at a time.
//
// A frame is a strong beat when its raw loudness (the two channels' levels, 0.1 to 1) is
//  - at least 0.3, so that a tick in near silence is no beat,
//  - at least 1.2 times the mean of the loudness of the nine frames before it (the VU meter's
//    loudness, each the mean of three frames' raw loudness), so it stands out of what came
//    just before,
//  - and the frame before did not pass both tests (a beat is its first frame; a loud passage
//    that goes on is one beat).
// Like the scene's motions it counts in drawn frames: nine frames are 0.15 s at 60 frames a
// second.

#include "scene/FrameState.h"

class StrongBeat {
public:
    static constexpr float kLeast = 0.3f;
    static constexpr float kRise = 1.2f;

    // Takes the frame just advanced; whether it is a strong beat.
    bool take(const FrameState& frame);

private:
    bool last_ = false;
};
