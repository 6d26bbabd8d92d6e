// Plays silence, then a loud tone, into the sound server's default output, and prints the
// moment (CLOCK_MONOTONIC, nanoseconds) the tone's first sample is played:
//   vzrm_latency_probe [--silence-ms N] [--tone-ms N]
// A program showing what the output plays logs when its picture changed; the difference is
// the latency from sound to picture.

#include <time.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "linux/Pulse.h"

namespace {

long long monotonicNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

}  // namespace

int main(int argc, char** argv) {
    int silenceMs = 1000, toneMs = 500;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string option = argv[i];
        if (option == "--silence-ms") silenceMs = std::atoi(argv[i + 1]);
        else if (option == "--tone-ms") toneMs = std::atoi(argv[i + 1]);
    }
    PulsePlayback out;
    std::string error;
    if (!out.open(kCaptureRate, error)) {
        std::fprintf(stderr, "vzrm_latency_probe: %s\n", error.c_str());
        return 1;
    }
    const int chunk = kCaptureRate / 200;  // 5 ms
    std::vector<int16_t> silence(static_cast<size_t>(chunk) * 2, 0), tone(silence.size());
    for (int i = 0; i < silenceMs / 5; ++i) out.write(silence.data(), static_cast<size_t>(chunk));
    // Everything written so far plays before the tone: its first sample sounds after that.
    const long long onset = monotonicNs() + static_cast<long long>(out.latencyUs()) * 1000;
    long long frame = 0;
    for (int i = 0; i < toneMs / 5; ++i) {
        for (int j = 0; j < chunk; ++j, ++frame) {
            // A 441 Hz square wave at nearly full scale: the loudest level the picture knows.
            int16_t v = (frame / 50) % 2 ? 30000 : -30000;
            tone[static_cast<size_t>(j) * 2] = tone[static_cast<size_t>(j) * 2 + 1] = v;
        }
        out.write(tone.data(), static_cast<size_t>(chunk));
    }
    out.drain();
    std::printf("onset_ns=%lld\n", onset);
    return 0;
}
