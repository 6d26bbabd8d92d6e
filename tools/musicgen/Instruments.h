#pragma once
// The demo song's instruments: each renders one note (or hit) additively into a stereo buffer
// of interleaved float samples. Everything is computed from the note's own time, with noise
// from a seeded generator, so the same score always gives the same samples.

#include <cstddef>
#include <cstdint>
#include <vector>

struct StereoBuffer {
    int sampleRate = 44100;
    std::vector<float> samples;  // left, right, left, right, ...

    size_t frames() const { return samples.size() / 2; }
    // Adds value at frame index, panned: 0 full left, 0.5 centre, 1 full right.
    void add(size_t frame, float value, float pan) {
        if (frame >= frames()) return;
        float left = 2.0f * (1.0f - pan), right = 2.0f * pan;
        samples[frame * 2] += value * (left < 1.0f ? left : 1.0f);
        samples[frame * 2 + 1] += value * (right < 1.0f ? right : 1.0f);
    }
};

// A small linear-congruential noise source: deterministic white noise in [-1, 1].
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed) {}
    float next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<float>(state_ >> 8) / 8388608.0f - 1.0f;
    }

private:
    uint32_t state_;
};

double noteFrequency(int midiNote);

// Drums, at a start time in seconds with a loudness (0..1).
void kick(StereoBuffer& out, double start, float gain);
void snare(StereoBuffer& out, double start, float gain, uint32_t seed);
void hiHat(StereoBuffer& out, double start, float gain, bool open, uint32_t seed);

// Pitched voices: a MIDI note from start for length seconds.
void bass(StereoBuffer& out, double start, double length, int note, float gain, float brightness);
void pad(StereoBuffer& out, double start, double length, int note, float gain);
void lead(StereoBuffer& out, double start, double length, int note, float gain, float pan);
