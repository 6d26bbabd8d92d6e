#include "audio/BuiltInSignal.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

}  // namespace

void builtInSample(double seconds, int8_t& left, int8_t& right) {
    double beat = std::fmod(seconds, 0.5);
    double thump = std::exp(-beat * 9.0) * std::sin(2 * kPi * 55.0 * beat);
    double bar = std::fmod(seconds, 8.0) / 8.0;  // a slow swell over eight seconds
    double swell = 0.35 + 0.25 * std::sin(2 * kPi * bar);
    double l = 0.55 * thump + swell * std::sin(2 * kPi * 220.0 * seconds) +
               0.12 * std::sin(2 * kPi * 1320.0 * seconds);
    double r = 0.55 * thump + swell * std::sin(2 * kPi * 330.0 * seconds + 0.7) +
               0.12 * std::sin(2 * kPi * 990.0 * seconds);
    auto toSample = [](double v) {
        v = std::fmax(-1.0, std::fmin(1.0, v));
        return static_cast<int8_t>(std::lround(v * 127.0));
    };
    left = toSample(l);
    right = toSample(r);
}
