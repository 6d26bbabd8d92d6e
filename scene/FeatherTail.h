#pragma once
// The "Tail Of Feathers": the waveform as a twisting tail of 287 thin triangles, one for every
// second sample, the upper tip following the left channel and the lower tip the right.

#include <cstdint>

#include "scene/FrameState.h"

class Lights;
class Settings;

class FeatherTail {
public:
    FeatherTail(const Settings& settings, const Lights& lights, const FrameState& frame)
        : settings_(settings), lights_(lights), frame_(frame) {}

    // Draws the tail when tofOnOff is set; leaves the fixed state behind.
    void draw();

    // The host's waveform; nothing is drawn until it is set.
    const uint8_t (*waveform)[kWaveformSamples] = nullptr;

private:
    const Settings& settings_;
    const Lights& lights_;
    const FrameState& frame_;
};
