// The frame rate of a projectM preset, a peer visualisation to compare ours with: an SDL2 window
// of the given size with an OpenGL 3.3 core context (what libprojectM 3 draws with), one preset
// locked, our built-in signal fed as 16-bit PCM at each frame (576 frames of sound, the
// 25 ms block our program gets), drawn flat out. Prints one line:
//   projectm: N frames, F frames per second after W frames of warm-up
// It uses only SDL2 and libprojectM's public interface, so the same source can be built for
// other systems (the Wine-side comparison) as it is.
//   vzrm_projectm_bench --preset FILE.milk [--size WxH] [--frames N] [--warmup N] [--vsync]

#include <SDL.h>
#include <libprojectM/projectM.hpp>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "audio/BuiltInSignal.h"
#include "audio/WaveformBlock.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: vzrm_projectm_bench --preset FILE.milk [--size WxH] [--frames N] "
                         "[--warmup N] [--vsync]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string preset;
    int width = 1024, height = 768;
    long frames = 300, warmup = 10;
    bool vsync = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
        if (a == "--vsync") vsync = true;
        else if (!v) return usage();
        else if (a == "--preset") preset = argv[++i];
        else if (a == "--size") {
            if (std::sscanf(argv[++i], "%dx%d", &width, &height) != 2) return usage();
        } else if (a == "--frames") frames = std::atol(argv[++i]);
        else if (a == "--warmup") warmup = std::atol(argv[++i]);
        else return usage();
    }
    if (preset.empty() || width <= 0 || height <= 0 || frames <= 0 || warmup < 0) return usage();

    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "vzrm_projectm_bench: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window* window = SDL_CreateWindow("projectM", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                          width, height, SDL_WINDOW_OPENGL);
    SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
    if (!context) {
        std::fprintf(stderr, "vzrm_projectm_bench: %s\n", SDL_GetError());
        return 1;
    }
    SDL_GL_SetSwapInterval(vsync ? 1 : 0);

    // One preset, locked, no transitions: the playlist is the preset's own folder, and the
    // preset is picked by its name.
    const size_t slash = preset.rfind('/');
    projectM::Settings settings;
    settings.windowWidth = width;
    settings.windowHeight = height;
    settings.presetURL = slash == std::string::npos ? "." : preset.substr(0, slash);
    settings.smoothPresetDuration = 0;
    settings.presetDuration = 1000000;
    settings.shuffleEnabled = false;
    settings.fps = 60;
    int status = 0;
    {
        projectM visualiser(settings);
        visualiser.projectM_resetGL(width, height);
        std::string name = slash == std::string::npos ? preset : preset.substr(slash + 1);
        visualiser.selectPresetByName(name, true);
        visualiser.setPresetLock(true);
        unsigned index = 0;
        const std::string chosen =
            visualiser.selectedPresetIndex(index) ? visualiser.getPresetURL(index) : std::string();
        if (chosen.size() < name.size() ||
            chosen.compare(chosen.size() - name.size(), name.size(), name) != 0) {
            std::fprintf(stderr, "vzrm_projectm_bench: no preset %s in %s\n", name.c_str(),
                         settings.presetURL.c_str());
            return 1;
        }
        std::fprintf(stderr, "vzrm_projectm_bench: %s\n", chosen.c_str());

        short pcm[kWaveformSamples * 2];
        auto feed = [&](long frame) {
            const double start = static_cast<double>(frame) * 0.025;
            for (int i = 0; i < kWaveformSamples; ++i) {
                int8_t l, r;
                builtInSample(start + static_cast<double>(i) / 44100.0, l, r);
                pcm[i * 2] = static_cast<short>(l * 256);
                pcm[i * 2 + 1] = static_cast<short>(r * 256);
            }
            visualiser.pcm()->addPCM16Data(pcm, kWaveformSamples);
        };
        auto started = std::chrono::steady_clock::now();
        for (long frame = 0; frame < warmup + frames; ++frame) {
            if (frame == warmup) started = std::chrono::steady_clock::now();
            SDL_Event event;
            while (SDL_PollEvent(&event))
                if (event.type == SDL_QUIT) frame = warmup + frames;
            feed(frame);
            visualiser.renderFrame();
            SDL_GL_SwapWindow(window);
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        std::printf("projectm: %ld frames, %.1f frames per second after %ld frames of warm-up\n",
                    warmup + frames, static_cast<double>(frames) / seconds, warmup);
        if (visualiser.getErrorLoadingCurrentPreset()) {
            std::fprintf(stderr, "vzrm_projectm_bench: the preset did not load\n");
            status = 1;
        }
    }
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return status;
}
