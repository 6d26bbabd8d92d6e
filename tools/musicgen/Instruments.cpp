#include "tools/musicgen/Instruments.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

size_t frameAt(const StereoBuffer& out, double seconds) {
    return seconds <= 0 ? 0 : static_cast<size_t>(seconds * out.sampleRate);
}

// Band-limiting correction for a step at phase 0 of an oscillator advancing dt per sample
// (polyBLEP): removes most of the aliasing of the naive saw and pulse waves.
double polyBlep(double phase, double dt) {
    if (phase < dt) {
        double t = phase / dt;
        return t + t - t * t - 1.0;
    }
    if (phase > 1.0 - dt) {
        double t = (phase - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

double saw(double phase, double dt) { return 2.0 * phase - 1.0 - polyBlep(phase, dt); }

double pulse(double phase, double dt, double width) {
    double shifted = phase + (1.0 - width);
    shifted -= std::floor(shifted);
    return (phase < width ? 1.0 : -1.0) + polyBlep(phase, dt) - polyBlep(shifted, dt);
}

// Attack, exponential decay towards a sustain level, and a release after the note's end.
double envelope(double t, double length, double attack, double decay, double sustain,
                double release) {
    double level =
        t < attack ? t / attack : sustain + (1.0 - sustain) * std::exp(-(t - attack) / decay);
    if (t > length) level *= std::exp(-(t - length) / release);
    return level;
}

// One-pole low-pass filter coefficient for a cut-off frequency.
double lowPassCoefficient(double cutoff, int sampleRate) {
    return 1.0 - std::exp(-2.0 * kPi * cutoff / sampleRate);
}

}  // namespace

double noteFrequency(int midiNote) { return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0); }

void kick(StereoBuffer& out, double start, float gain) {
    size_t first = frameAt(out, start);
    size_t count = frameAt(out, 0.45);
    for (size_t i = 0; i < count; ++i) {
        double t = static_cast<double>(i) / out.sampleRate;
        // The pitch falls from 155 Hz to 45 Hz; the phase is the integral of that sweep.
        double phase = 2.0 * kPi * (45.0 * t + 110.0 / 25.0 * (1.0 - std::exp(-25.0 * t)));
        double amp = std::fmin(1.0, t / 0.002) * std::exp(-7.0 * t);
        out.add(first + i, static_cast<float>(gain * amp * std::sin(phase)), 0.5f);
    }
}

void snare(StereoBuffer& out, double start, float gain, uint32_t seed) {
    Noise noise(seed);
    size_t first = frameAt(out, start);
    size_t count = frameAt(out, 0.3);
    float previous = 0;
    for (size_t i = 0; i < count; ++i) {
        double t = static_cast<double>(i) / out.sampleRate;
        float n = noise.next();
        double rattle = (n - 0.5f * previous) * std::exp(-14.0 * t);
        previous = n;
        double body = std::sin(2.0 * kPi * 185.0 * t) * std::exp(-30.0 * t);
        out.add(first + i, static_cast<float>(gain * (0.55 * rattle + 0.5 * body)), 0.42f);
    }
}

void hiHat(StereoBuffer& out, double start, float gain, bool open, uint32_t seed) {
    Noise noise(seed);
    size_t first = frameAt(out, start);
    double decay = open ? 12.0 : 70.0;
    size_t count = frameAt(out, open ? 0.35 : 0.08);
    float previous = 0;
    for (size_t i = 0; i < count; ++i) {
        double t = static_cast<double>(i) / out.sampleRate;
        float n = noise.next();
        double high = n - previous;  // a first difference keeps the hiss, drops the rumble
        previous = n;
        out.add(first + i, static_cast<float>(gain * 0.5 * high * std::exp(-decay * t)), 0.62f);
    }
}

void bass(StereoBuffer& out, double start, double length, int note, float gain, float brightness) {
    double frequency = noteFrequency(note);
    double dt = frequency / out.sampleRate;
    size_t first = frameAt(out, start);
    size_t count = frameAt(out, length + 0.08);
    double phase = 0, filtered = 0;
    for (size_t i = 0; i < count; ++i) {
        double t = static_cast<double>(i) / out.sampleRate;
        // The filter opens with each note and closes as it decays: a plucked, round bass.
        double cutoff = 120.0 + brightness * 1600.0 * std::exp(-t / 0.09);
        double raw = 0.7 * saw(phase, dt) + 0.5 * std::sin(2.0 * kPi * phase);
        filtered += lowPassCoefficient(cutoff, out.sampleRate) * (raw - filtered);
        double amp = envelope(t, length, 0.004, 0.25, 0.6, 0.02);
        out.add(first + i, static_cast<float>(gain * amp * filtered), 0.5f);
        phase += dt;
        phase -= std::floor(phase);
    }
}

void pad(StereoBuffer& out, double start, double length, int note, float gain) {
    static constexpr double kDetune[3] = {-0.004, 0.0, 0.0045};
    static constexpr float kPan[3] = {0.2f, 0.5f, 0.8f};
    double frequency = noteFrequency(note);
    size_t first = frameAt(out, start);
    size_t count = frameAt(out, length + 0.5);
    double a = lowPassCoefficient(900.0, out.sampleRate);
    for (int voice = 0; voice < 3; ++voice) {
        double dt = frequency * (1.0 + kDetune[voice]) / out.sampleRate;
        double phase = voice / 3.0, filtered = 0;
        for (size_t i = 0; i < count; ++i) {
            double t = static_cast<double>(i) / out.sampleRate;
            filtered += a * (saw(phase, dt) - filtered);
            double amp = envelope(t, length, 0.35, 1.0, 1.0, 0.15);
            out.add(first + i, static_cast<float>(gain / 3.0 * amp * filtered), kPan[voice]);
            phase += dt;
            phase -= std::floor(phase);
        }
    }
}

void lead(StereoBuffer& out, double start, double length, int note, float gain, float pan) {
    double frequency = noteFrequency(note);
    size_t first = frameAt(out, start);
    size_t count = frameAt(out, length + 0.25);
    double a = lowPassCoefficient(3200.0, out.sampleRate);
    double phase = 0, filtered = 0;
    for (size_t i = 0; i < count; ++i) {
        double t = static_cast<double>(i) / out.sampleRate;
        // Vibrato sets in after the attack, as a singer's would.
        double vibrato = t > 0.15 ? 0.005 * std::sin(2.0 * kPi * 5.5 * (t - 0.15)) : 0.0;
        double dt = frequency * (1.0 + vibrato) / out.sampleRate;
        filtered += a * (pulse(phase, dt, 0.3) - filtered);
        double amp = envelope(t, length, 0.008, 0.2, 0.7, 0.06);
        out.add(first + i, static_cast<float>(gain * amp * filtered), pan);
        phase += dt;
        phase -= std::floor(phase);
    }
}
