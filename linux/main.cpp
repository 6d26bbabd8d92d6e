// vizorama: the Vizorama scene in a window of its own on the Linux desktop, moving to whatever
// the computer plays (the monitor of the default output, through PulseAudio's client library or
// PipeWire's pulse server), another sound source, or a WAV file it plays itself.
// It drives the scene exactly as the plug-in does: set-up once, then one renderFrame a frame on
// the newest 576-sample block; the keys change the looks in the settings file.

#include <SDL.h>

#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "assets/GlHeaders.h"
#include "audio/AudioSource.h"
#include "audio/SampleRing.h"
#include "linux/Looks.h"
#include "linux/Options.h"
#include "linux/Overlay.h"
#include "linux/Paths.h"
#include "linux/Pulse.h"
#include "linux/SdlSceneHost.h"
#include "linux/SettingsStore.h"
#include "linux/WavPlayer.h"
#include "platform/Platform.h"
#include "scene/Scene.h"

#ifndef VZRM_VERSION
#define VZRM_VERSION "0"
#endif
#ifndef VZRM_BUILD_DATA
#define VZRM_BUILD_DATA ""
#endif

namespace {

void say(const std::string& text) {
    if (!text.empty()) std::fprintf(stderr, "vizorama: %s\n", text.c_str());
}

long long monotonicNs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

double seconds() { return static_cast<double>(monotonicNs()) / 1e9; }

int listSources() {
    std::vector<SourceInfo> sources;
    std::string error;
    if (!listPulseSources(sources, error)) {
        say("no sound server (" + error + ")");
        return 1;
    }
    for (const SourceInfo& s : sources)
        std::printf("%s\t%s%s\n", s.name.c_str(), s.description.c_str(),
                    s.monitor ? " (what an output plays)" : "");
    return 0;
}

enum class Sound { Capture, Wav, BuiltIn, Silence };

}  // namespace

int main(int argc, char** argv) {
    Options options;
    std::string error;
    if (!parseOptions(argc, argv, options, error)) {
        say(error);
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (options.version) {
        std::printf("vizorama %s\n", VZRM_VERSION);
        return 0;
    }
    if (options.listSources) return listSources();

    // A WAV file that cannot be played is refused before any window opens.
    AudioSource music;
    if (!options.wav.empty() && !music.loadWav(options.wav, error)) {
        say(error);
        return 2;
    }

    const UserFolders user = userFolders(std::getenv("XDG_CONFIG_HOME"),
                                         std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    std::string dataFolder = options.dataFolder.empty()
                                 ? dataFolderFor(platform::executableFolder(), VZRM_BUILD_DATA)
                                 : options.dataFolder;
    if (dataFolder.back() != '/') dataFolder += '/';

    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        say(std::string("cannot open a window: ") + SDL_GetError());
        return 1;
    }
    // The scene draws with the fixed-function pipeline: a compatibility context.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window* window = SDL_CreateWindow(
        "Vizorama", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, options.width, options.height,
        SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE |
            (options.fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0));
    SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
    if (!context) {
        say(std::string("cannot open an OpenGL window: ") + SDL_GetError());
        if (window) SDL_DestroyWindow(window);
        SDL_Quit();
        return 1;
    }
    // In step with the display, unless drawing flat out (benchmarks). A display that cannot
    // synchronise swaps (a virtual one, say) gets frames paced to its refresh rate instead.
    double pacing = 0;  // seconds a frame, when pacing by the clock
    if (SDL_GL_SetSwapInterval(options.flatOut ? 0 : 1) != 0 && !options.flatOut) {
        SDL_DisplayMode mode{};
        const int index = SDL_GetWindowDisplayIndex(window);
        const int rate = index >= 0 && SDL_GetCurrentDisplayMode(index, &mode) == 0 && mode.refresh_rate > 0
                             ? mode.refresh_rate
                             : 60;
        pacing = 1.0 / rate;
        say("the display offers no synchronised swaps; frames are paced to " + std::to_string(rate) +
            " a second");
    }

    // The scene's run, while the window and its context exist.
    auto run = [&]() -> int {
        SceneState scene;
        createSceneComponents(scene);
        if (!scene.settings || !scene.model || !scene.skybox) {
            say("out of memory");
            releaseSceneComponents(scene);
            return 1;
        }
        SettingsStore store;
        say(store.open(*scene.settings, user.settingsFile()));
        AssetNames names{folderNames({dataFolder + "Skyboxes/", user.skyboxes}),
                         folderNames({dataFolder + "Models/", user.models})};

        uint8_t waveform[2][kWaveformSamples] = {};
        scene.waveform = waveform;
        SdlSceneHost host(window, scene, AssetFolders{dataFolder, {user.skyboxes}, {user.models}},
                          store);
        host.layoutAndMoveWindow();
        Overlay overlay;
        bool helpShown = false;  // whether the overlay shows the help (or a key's note)
        // What the scene reported (a model that would not load, say), shown in the window too.
        auto showErrors = [&] {
            std::vector<std::string> lines = host.takeErrorLines();
            if (lines.empty()) return;
            overlay.show(lines, seconds(), 6);
            helpShown = false;
        };
        initScene(scene, host);
        showErrors();

        // The sound starts once the scene is up, so the first thing heard is also seen.
        Sound sound = options.signal == "builtin"   ? Sound::BuiltIn
                      : options.signal == "silence" ? Sound::Silence
                      : options.wav.empty()         ? Sound::Capture
                                                    : Sound::Wav;
        SampleRing ring;
        PulseCapture capture;
        std::unique_ptr<WavPlayer> player;
        if (sound == Sound::Capture) {
            const std::string source = options.source.empty() ? kDefaultMonitor : options.source;
            if (!capture.start(source, ring, error)) {
                say("no sound from " + source + " (" + error + "); the scene runs on silence");
                sound = Sound::Silence;
            }
        } else if (sound == Sound::Wav) {
            player = std::make_unique<WavPlayer>(music.stereoPcm(), music.sampleRate(), options.loop);
            if (!player->start(error)) {
                say("no sound server (" + error + "); " + options.wav + " is shown without sound");
                player->startSilent();
            }
        }

        std::FILE* frameLog = options.frameLog.empty() ? nullptr : std::fopen(options.frameLog.c_str(), "w");
        if (!options.frameLog.empty() && !frameLog) say("cannot write " + options.frameLog);
        if (frameLog) setvbuf(frameLog, nullptr, _IOLBF, 0);  // readers follow it while it runs

        bool fullScreen = options.fullScreen;
        auto toggleFullScreen = [&] {
            fullScreen = !fullScreen;
            SDL_SetWindowFullscreen(window, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
        };
        const long warmUp = 10;  // frames before the frame rate is measured
        double measuredFrom = 0;
        long frame = 0;
        double lastSwap = seconds();
        bool running = true;
        while (running) {
            SDL_Event event;
            while (SDL_PollEvent(&event)) {
                if (event.type == SDL_QUIT) running = false;
                else if (event.type == SDL_MOUSEBUTTONDOWN && event.button.button == SDL_BUTTON_LEFT &&
                         event.button.clicks == 2)
                    toggleFullScreen();
                else if (event.type == SDL_KEYDOWN && !event.key.repeat) {
                    const SDL_Keycode key = event.key.keysym.sym;
                    const bool shift = (event.key.keysym.mod & KMOD_SHIFT) != 0;
                    if (key == SDLK_ESCAPE) {
                        if (fullScreen) toggleFullScreen();
                        else running = false;
                    } else if (key == SDLK_f) {
                        toggleFullScreen();
                    } else if (key == SDLK_h || key == SDLK_F1) {
                        // Toggles the help; over the short note of a key it shows the help.
                        if (helpShown && overlay.visible(seconds())) {
                            overlay.hide();
                        } else {
                            helpShown = true;
                            std::vector<std::string> lines = {"Vizorama " VZRM_VERSION " - keys"};
                            lines.insert(lines.end(), keyHelp().begin(), keyHelp().end());
                            lines.push_back("");
                            for (const std::string& c : currentChoices(*scene.settings)) lines.push_back(c);
                            overlay.show(lines, seconds(), 8);
                        }
                    } else if (key >= SDLK_a && key <= SDLK_z) {
                        const char letter = static_cast<char>('A' + (key - SDLK_a));
                        // The names on disk may have changed since the start.
                        if (letter == 'B') names.skyboxes = folderNames({dataFolder + "Skyboxes/", user.skyboxes});
                        if (letter == 'N') names.models = folderNames({dataFolder + "Models/", user.models});
                        std::string chosen = applyLookKey(letter, shift, *scene.settings, names);
                        if (!chosen.empty()) {
                            say(store.save(*scene.settings));
                            std::vector<std::string> lines = {chosen};
                            for (const std::string& c : currentChoices(*scene.settings)) lines.push_back(c);
                            overlay.show(lines, seconds(), 3);
                            helpShown = false;
                        }
                    }
                }
            }
            if (!running) break;

            if (sound == Sound::Capture && !capture.running()) {
                say("the recording stopped (the sound server went away?); the scene runs on silence");
                sound = Sound::Silence;
            }
            switch (sound) {
                case Sound::Capture:
                    ring.newestBlock(waveform);
                    break;
                case Sound::Wav:
                    player->heardBlock(waveform);
                    break;
                case Sound::BuiltIn:  // the player's 25 ms a block, whatever the frame rate
                    music.fillBlock(static_cast<double>(frame) * 25.0, waveform);
                    break;
                case Sound::Silence:
                    std::memset(waveform, 0, sizeof waveform);
                    break;
            }
            host.layoutAndMoveWindow();
            renderFrame(scene, host);
            host.keepFrameForLivePicture();  // the scene alone, without the overlay
            showErrors();
            overlay.draw(host.width(), host.height(), seconds());
            SDL_GL_SwapWindow(window);
            // In step with the display, a driver may queue frames ahead, each one more refresh
            // between a sound and its picture: wait until this one is out.
            if (!options.flatOut && pacing == 0) glFinish();
            if (pacing > 0) {
                const double next = lastSwap + pacing, now = seconds();
                if (now < next) SDL_Delay(static_cast<Uint32>((next - now) * 1000));
                lastSwap = now < next ? next : now;  // a late frame does not make the next ones hurry
            }
            ++frame;
            if (frame == warmUp) measuredFrom = seconds();
            if (frameLog)
                std::fprintf(frameLog, "%ld %lld %d %d %llu\n", frame, monotonicNs(),
                             scene.frame.levelLeft, scene.frame.levelRight,
                             static_cast<unsigned long long>(capture.latencyUs()));
            if (options.frames > 0 && frame >= options.frames) running = false;
            if (player && player->finished()) running = false;
        }
        if (frame > warmUp && (options.frames > 0 || options.flatOut)) {
            const double elapsed = seconds() - measuredFrom;
            std::printf("vizorama: %ld frames, %.1f frames per second after %ld frames of warm-up\n",
                        frame, static_cast<double>(frame - warmUp) / elapsed, warmUp);
        }
        if (frameLog) std::fclose(frameLog);
        capture.stop();
        if (player) player->stop();
        scene.sceneReady = false;
        releaseSceneComponents(scene);  // while the context is current
        return 0;
    };
    const int exitCode = run();
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return exitCode;
}
