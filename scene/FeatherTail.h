#pragma once
// The "Tail Of Feathers": the waveform as a twisting tail of 287 thin triangles, one for every
// second sample, the upper tip following the left channel and the lower tip the right.
// Each feather has a matrix of its own; they are placed and lit on the CPU and sent as one
// array, so that the tail costs one draw call rather than 287.

#include <cstdint>

#include "sprites/FixedLighting.h"
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

    static constexpr int kFeathers = 287;

private:
    const Settings& settings_;
    const Lights& lights_;
    const FrameState& frame_;
    FixedLighting lighting_;
    // Three vertices a feather: clip coordinates, then lit colour.
    float positions_[kFeathers * 3 * 4] = {};
    float colours_[kFeathers * 3 * 4] = {};
};
