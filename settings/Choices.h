#pragma once
// The values the named settings take, in the order the configuration utility lists them and
// the Linux program's keys step through them.

namespace choices {

inline constexpr const char* kOscilloscopeTypes[] = {"Waveform", "No Filter", "Sine Filter",
                                                     "Cosine Filter"};
inline constexpr const char* kRenderingModes[] = {"Plain",     "Striped", "Checked",  "Water",
                                                  "Explosion", "Smoke",   "Wireframe"};
inline constexpr const char* kSamplingRates[] = {"1x1", "2x1", "3x1", "4x1", "1x2", "2x2",
                                                 "3x2", "4x2", "1x3", "2x3", "3x3", "4x3",
                                                 "1x4", "2x4", "3x4", "4x4"};
inline constexpr const char* kVuMeterTypes[] = {"Single Fixed Point", "Double Fixed Point", "Beam"};
inline constexpr const char* kCameraMotions[] = {"Scan Left", "Scan Right",      "Scan Up",
                                                 "Scan Down", "Spin",            "View From Above",
                                                 "View From Beneath"};
inline constexpr const char* kModelEffects[] = {"Enclose", "Ghost", "Motion Blur"};
inline constexpr const char* kColourMaps[] = {"RGB", "RBG", "GRB", "GBR", "BRG", "BGR"};
// The stroboscope's slider runs from 0 (off) to this many steps.
inline constexpr unsigned kMaxStroboscope = 10;

}  // namespace choices
