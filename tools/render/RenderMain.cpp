// Renders the scene offline: scene set-up and N frames of a signal, chosen frames saved as PNG.
//
//   vzrm_render --install DIR [--size WxH] [--frames N] [--signal builtin|silence|loud]
//               [--wav FILE] [--save N:FILE.png]... [--save-loading FILE.png]
//
// DIR is a player folder laid out like an installation (the build's stage/ folder is one).

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "host/Audio.h"
#include "tools/render/HeadlessRenderer.h"

namespace {

const char* kUsage =
    "usage: vzrm_render --install DIR [--size WxH] [--frames N] [--signal builtin|silence|loud]\n"
    "                   [--wav FILE] [--save N:FILE.png]... [--save-loading FILE.png]\n";

}  // namespace

int main(int argc, char** argv) {
    std::string install, signal = "builtin", wav, loadingPng;
    int width = 550, height = 232;
    long frames = 100;
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
        else if (a == "--save" && std::strchr(v, ':'))
            saves[std::strtol(v, nullptr, 10)] = std::strchr(v, ':') + 1;
        else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (install.empty() || width <= 0 || height <= 0 || frames < 0) {
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
    renderer.start();
    if (!loadingPng.empty()) renderer.context().savePng(loadingPng);

    uint8_t waveform[2][kWaveformSamples];
    for (long frame = 1; frame <= frames; ++frame) {
        if (signal == "silence") std::memset(waveform, 0, sizeof waveform);
        else if (signal == "loud") std::memset(waveform, 0x80, sizeof waveform);  // -128
        else audio.fillBlock(static_cast<double>(frame) * 25.0, waveform);
        renderer.frame(waveform);
        auto save = saves.find(frame);
        if (save != saves.end() && !renderer.context().savePng(save->second)) {
            std::fprintf(stderr, "vzrm_render: cannot write %s\n", save->second.c_str());
            return 1;
        }
    }
    return 0;
}
