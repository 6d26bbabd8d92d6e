// Two ends of a measurement of how soon a picture shows what is heard.
//
//   vzrm_latency_probe [--silence-ms N] [--tone-ms N]
// Plays silence, then a loud tone, into the sound server's default output, and prints the
// moment (CLOCK_MONOTONIC, nanoseconds) the tone's first sample is played as the server
// reckons it (the frames written before it plus the playback latency it reports).
//
//   vzrm_latency_probe --speaker FIFO [--rate N] [--channels N]
// A "speaker" for a pipe sink (module-pipe-sink): reads the 16-bit samples the sink writes into
// FIFO at the real-time rate, 10 ms at a time, and prints the moment each loud sound starts
// after a quiet spell ("heard_ns=..."): when a listener would hear it. Ends at the pipe's end.
//
// A program showing what the output plays logs when its picture changed; the difference is
// the latency from sound to picture.

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "linux/Pulse.h"

namespace {

constexpr int kRate = 44100;

long long monotonicNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

void sleepUntil(long long ns) {
    timespec t{static_cast<time_t>(ns / 1000000000LL), static_cast<long>(ns % 1000000000LL)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) != 0) {
    }
}

int play(int silenceMs, int toneMs) {
    PulsePlayback out;
    std::string error;
    if (!out.open(kRate, error)) {
        std::fprintf(stderr, "vzrm_latency_probe: %s\n", error.c_str());
        return 1;
    }
    const int chunk = kRate / 200;  // 5 ms
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

// Reads whole bytes into buffer; false at the pipe's end.
bool readFully(int fd, unsigned char* buffer, size_t size) {
    for (size_t got = 0; got < size;) {
        const ssize_t n = read(fd, buffer + got, size - got);
        if (n <= 0) return false;
        got += static_cast<size_t>(n);
    }
    return true;
}

int speaker(const char* fifo, int rate, int channels) {
    const int fd = open(fifo, O_RDONLY);
    if (fd < 0) {
        std::perror(fifo);
        return 1;
    }
    setvbuf(stdout, nullptr, _IOLBF, 0);
    const size_t frames = static_cast<size_t>(rate) / 100;  // 10 ms
    const size_t frameBytes = static_cast<size_t>(channels) * 2;
    std::vector<unsigned char> chunk(frames * frameBytes);
    const long long chunkNs = 10000000;
    long long due = monotonicNs();
    long long quietFrames = rate;  // frames since the last loud sample
    for (;;) {
        sleepUntil(due);
        if (!readFully(fd, chunk.data(), chunk.size())) break;
        // The chunk plays from when it is due; from when it came, if the sink stopped
        // writing and the read waited for it.
        const long long now = monotonicNs();
        const long long start = now > due + chunkNs ? now : due;
        for (size_t i = 0; i < frames; ++i) {
            const unsigned char* p = &chunk[i * frameBytes];
            const int v = static_cast<int16_t>(p[0] | p[1] << 8);
            if (v > 8000 || v < -8000) {
                if (quietFrames >= rate / 10)  // after 100 ms of quiet: a new sound
                    std::printf("heard_ns=%lld\n", start + static_cast<long long>(i) * 1000000000LL / rate);
                quietFrames = 0;
            } else {
                ++quietFrames;
            }
        }
        due = start + chunkNs;
    }
    close(fd);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    int silenceMs = 1000, toneMs = 500, rate = kRate, channels = 2;
    const char* fifo = nullptr;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string option = argv[i];
        if (option == "--silence-ms") silenceMs = std::atoi(argv[i + 1]);
        else if (option == "--tone-ms") toneMs = std::atoi(argv[i + 1]);
        else if (option == "--speaker") fifo = argv[i + 1];
        else if (option == "--rate") rate = std::atoi(argv[i + 1]);
        else if (option == "--channels") channels = std::atoi(argv[i + 1]);
    }
    if (fifo) {
        if (rate < 1000 || channels < 1) {
            std::fprintf(stderr, "vzrm_latency_probe: a bad --rate or --channels\n");
            return 2;
        }
        return speaker(fifo, rate, channels);
    }
    return play(silenceMs, toneMs);
}
