#pragma once
// The VU meter: fans of thin triangles (spokes) opening around a fixed point, more of them the
// louder the music, with a star of pulsar sprites at both ends of every spoke. One fan for the
// overall loudness, one per channel left and right, or two tumbling together ("Beam").
// The stars of a whole meter are drawn as one batch.

#include <cstdint>

#include "sprites/SpriteBatch.h"
#include "scene/FrameState.h"

class Lights;
class Settings;

// The angle (radians) of spoke j (1 .. n - 1) of a fan of n spokes.
float spokeAngle(int n, int j);

class VuMeter {
public:
    VuMeter(const Settings& settings, const Lights& lights, const FrameState& frame)
        : settings_(settings), lights_(lights), frame_(frame) {}

    // Draws the meter for the frame's levels and spoke count; leaves the fixed state behind.
    void draw(int levelLeft, int levelRight, int vuSpokes);

    // The host's waveform; nothing is drawn until it is set.
    const uint8_t (*waveform)[kWaveformSamples] = nullptr;

private:
    void spokeFan(int n, int side);
    void spriteStars(int n, int side, float angle, float crossing);
    void fan(int n, int side, float turn, float starAngle, float crossing);

    // A fan has at most 63 spokes (the loudness is at most 1; a channel level at most 127).
    static constexpr int kMaxSpokes = 64;

    const Settings& settings_;
    const Lights& lights_;
    const FrameState& frame_;
    float spokeVertices_[9 * kMaxSpokes] = {};
    // Three sprites at each end of every spoke of at most two fans.
    SpriteBatch sprites_{2 * kMaxSpokes * 6};
};
