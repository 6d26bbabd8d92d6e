// Whole frames of the scene flat out in the off-screen renderer (the plug-in's frame code
// without Wine or a window system), on the host's built-in signal. Prints one line of figures:
// frames per second, CPU time per frame (user + system, all threads, the renderer's included),
// heap allocations per frame after warm-up (every operator new in the process is counted), and
// optionally the resident memory after given frame counts.
//   vzrm_frame_bench --install DIR [--size WxH] [--frames N] [--warmup N] [--rss-at N]...
//                    [--trace N]
// DIR is a player folder laid out like an installation, with its settings file in place.
// --trace N prints the call stacks of the first N allocations after warm-up.

#include <execinfo.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>
#include <set>
#include <string>

#include "audio/AudioSource.h"
#include "tools/render/HeadlessRenderer.h"

namespace {

std::atomic<long> allocations{0};
std::atomic<int> tracesLeft{0};  // allocations still to trace (--trace N)

void* counted(size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (tracesLeft.load(std::memory_order_relaxed) > 0 && tracesLeft.fetch_sub(1) > 0) {
        void* frames[24];
        int depth = backtrace(frames, 24);
        std::fprintf(stderr, "allocation of %zu bytes after warm-up:\n", size);
        backtrace_symbols_fd(frames, depth, STDERR_FILENO);
    }
    return std::malloc(size ? size : 1);
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long residentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

}  // namespace

void* operator new(size_t size) {
    if (void* p = counted(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) {
    if (void* p = counted(size)) return p;
    throw std::bad_alloc();
}
void* operator new(size_t size, const std::nothrow_t&) noexcept { return counted(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return counted(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

int main(int argc, char** argv) {
    std::string install;
    int width = 1024, height = 768;
    long frames = 300, warmup = 30;
    int trace = 0;
    std::set<long> rssAt;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string option = argv[i], value = argv[i + 1];
        if (option == "--install") install = value;
        else if (option == "--size") std::sscanf(value.c_str(), "%dx%d", &width, &height);
        else if (option == "--frames") frames = std::atol(value.c_str());
        else if (option == "--warmup") warmup = std::atol(value.c_str());
        else if (option == "--rss-at") rssAt.insert(std::atol(value.c_str()));
        else if (option == "--trace") trace = std::atoi(value.c_str());
        else {
            std::fprintf(stderr, "vzrm_frame_bench: unknown option %s\n", option.c_str());
            return 2;
        }
    }
    if (install.empty() || width <= 0 || height <= 0 || frames <= 0) {
        std::fprintf(stderr, "usage: vzrm_frame_bench --install DIR [--size WxH] [--frames N] "
                             "[--warmup N] [--rss-at N]...\n");
        return 2;
    }
    if (install.back() != '/') install += '/';

    HeadlessRenderer renderer(install, width, height);
    if (!renderer.ok()) {
        std::fprintf(stderr, "vzrm_frame_bench: cannot create an off-screen OpenGL context\n");
        return 1;
    }
    renderer.start();
    // The plug-in writes every key at start-up; frames then read a complete file.
    renderer.scene.settings->writeFile(renderer.settingsFile, kSettingsSection);
    AudioSource audio;
    unsigned char waveform[2][kWaveformSamples];
    long frame = 0;
    auto draw = [&] {
        audio.fillBlock(static_cast<double>(frame) * 25.0, waveform);
        renderer.frame(waveform);
        ++frame;
    };
    for (long i = 0; i < warmup; ++i) draw();
    glFinish();

    tracesLeft = trace;
    const long allocationsBefore = allocations.load();
    const double cpuBefore = cpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    std::string rss;
    for (long i = 0; i < frames; ++i) {
        draw();
        if (rssAt.count(frame)) {
            glFinish();
            rss += " rss_kb@" + std::to_string(frame) + "=" + std::to_string(residentKb());
        }
    }
    glFinish();
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpu = cpuSeconds() - cpuBefore;
    const double perFrame = static_cast<double>(allocations.load() - allocationsBefore) /
                            static_cast<double>(frames);
    std::printf("fps=%.1f cpu_ms_per_frame=%.2f allocs_per_frame=%.2f%s\n",
                static_cast<double>(frames) / wall, 1000 * cpu / static_cast<double>(frames),
                perFrame, rss.c_str());
    return 0;
}
