#pragma once
// The program's clock and its one-line messages.

#include <time.h>

#include <cstdio>
#include <string>

// A line on the standard error ("vizorama: ..."); an empty text says nothing.
inline void say(const std::string& text) {
    if (!text.empty()) std::fprintf(stderr, "vizorama: %s\n", text.c_str());
}

// The monotonic clock (the one the frame log and the latency probe share), in nanoseconds and
// in seconds.
inline long long monotonicNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}
inline double seconds() { return static_cast<double>(monotonicNs()) / 1e9; }
