// Renders the scene offline: scene set-up and N frames of a signal, chosen frames saved as PNG,
// or every frame as a video stream or numbered PNG files.
//
//   vzrm_render --install DIR [--size WxH] [--frames N] [--signal builtin|silence|loud]
//               [--wav FILE] [--start SECONDS] [--save N:FILE.png]... [--save-loading FILE.png]
//               [--video FILE|-] [--png-frames FOLDER]
//
// DIR is a player folder laid out like an installation (the build's stage/ folder is one).
// Frames are 25 ms of audio apart, as the player hands them over (40 frames a second):
// --video writes each as raw RGB bytes, top row first (ffmpeg: -f rawvideo -pix_fmt rgb24
// -video_size WxH -framerate 40), "-" for the standard output.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "audio/AudioSource.h"
#include "tools/render/HeadlessRenderer.h"

namespace {

const char* kUsage =
    "usage: vzrm_render --install DIR [--size WxH] [--frames N] [--signal builtin|silence|loud]\n"
    "                   [--wav FILE] [--start SECONDS] [--save N:FILE.png]...\n"
    "                   [--save-loading FILE.png] [--video FILE|-] [--png-frames FOLDER]\n";

constexpr double kFrameMs = 25.0;  // the player's frame delay

}  // namespace

int main(int argc, char** argv) {
    std::string install, signal = "builtin", wav, loadingPng, video, pngFrames;
    int width = 550, height = 232;
    long frames = 100;
    double startMs = 0;
    std::map<long, std::string> saves;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
        if (!v) {
            std::fputs(kUsage, stderr);
            return 2;
        }
        ++i;
        if (a == "--install") install = v;
        else if (a == "--size") std::sscanf(v, "%dx%d", &width, &height);
        else if (a == "--frames") frames = std::strtol(v, nullptr, 10);
        else if (a == "--signal") signal = v;
        else if (a == "--wav") wav = v;
        else if (a == "--save-loading") loadingPng = v;
        else if (a == "--start") startMs = std::strtod(v, nullptr) * 1000.0;
        else if (a == "--video") video = v;
        else if (a == "--png-frames") pngFrames = v;
        else if (a == "--save" && std::strchr(v, ':'))
            saves[std::strtol(v, nullptr, 10)] = std::strchr(v, ':') + 1;
        else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (install.empty() || width <= 0 || height <= 0 || frames < 0 || startMs < 0) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (install.back() != '/') install += '/';

    AudioSource audio;
    std::string error;
    if (!wav.empty() && !audio.loadWav(wav, error)) {
        std::fprintf(stderr, "vzrm_render: %s\n", error.c_str());
        return 2;
    }
    HeadlessRenderer renderer(install, width, height);
    if (!renderer.ok()) {
        std::fprintf(stderr, "vzrm_render: cannot create an off-screen OpenGL context\n");
        return 1;
    }
    std::FILE* videoOut = nullptr;
    if (!video.empty()) {
        videoOut = video == "-" ? stdout : std::fopen(video.c_str(), "wb");
        if (!videoOut) {
            std::fprintf(stderr, "vzrm_render: cannot write %s\n", video.c_str());
            return 1;
        }
    }
    renderer.start();
    if (!loadingPng.empty()) renderer.context().savePng(loadingPng);

    uint8_t waveform[2][kWaveformSamples];
    for (long frame = 1; frame <= frames; ++frame) {
        if (signal == "silence") std::memset(waveform, 0, sizeof waveform);
        else if (signal == "loud") std::memset(waveform, 0x80, sizeof waveform);  // -128
        else audio.fillBlock(startMs + static_cast<double>(frame) * kFrameMs, waveform);
        renderer.frame(waveform);
        if (videoOut && !renderer.context().writeRgb(videoOut)) {
            // The reader went away (for example ffmpeg stopped): nothing more to draw for.
            std::fprintf(stderr, "vzrm_render: video output closed after %ld frames (%s)\n",
                         frame - 1, std::strerror(errno));
            return 1;
        }
        if (!pngFrames.empty()) {
            char name[32];
            std::snprintf(name, sizeof name, "/frame-%05ld.png", frame);
            if (!renderer.context().savePng(pngFrames + name)) {
                std::fprintf(stderr, "vzrm_render: cannot write %s%s\n", pngFrames.c_str(), name);
                return 1;
            }
        }
        auto save = saves.find(frame);
        if (save != saves.end() && !renderer.context().savePng(save->second)) {
            std::fprintf(stderr, "vzrm_render: cannot write %s\n", save->second.c_str());
            return 1;
        }
    }
    if (videoOut && (video == "-" ? std::fflush(videoOut) : std::fclose(videoOut)) != 0) {
        std::fprintf(stderr, "vzrm_render: cannot finish %s\n", video.c_str());
        return 1;
    }
    return 0;
}
