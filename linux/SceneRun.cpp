#include "linux/SceneRun.h"

#include <vector>

#include "linux/Say.h"
#include "scene/Scene.h"

SceneRun::SceneRun(GlWindow& window, const Options& options, const AudioSource& music,
                   const std::string& dataFolder, const UserFolders& user)
    : window_(window),
      options_(options),
      dataFolder_(dataFolder),
      user_(user),
      host_(window.window(), scene_,
            AssetFolders{dataFolder, {user.skyboxes}, {user.models}, user.looks}, store_),
      controls_(scene_, host_, store_,
                {"F  full screen (or double click)", "H  this help", "ESC  leave full screen, quit"}),
      sound_(options, music) {}

int SceneRun::run() {
    createSceneComponents(scene_);
    if (!scene_.settings || !scene_.model || !scene_.skybox) {
        say("out of memory");
        releaseSceneComponents(scene_);
        return 1;
    }
    host_.tell(store_.open(*scene_.settings, user_.settingsFile()));
    scene_.waveform = waveform_;
    host_.layoutAndMoveWindow();
    initScene(scene_, host_);
    showErrors();

    // The sound starts once the scene is up, so the first thing heard is also seen.
    sound_.start();

    if (!options_.frameLog.empty()) {
        frameLog_ = std::fopen(options_.frameLog.c_str(), "w");
        if (!frameLog_) say("cannot write " + options_.frameLog);
        else setvbuf(frameLog_, nullptr, _IOLBF, 0);  // readers follow it while it runs
    }

    while (handleEvents()) {
        if (!window_.shown()) {
            if (!waitWhileHidden()) break;
        } else if (!drawFrame()) {
            break;
        }
    }
    reportFrameRate();
    if (frameLog_) std::fclose(frameLog_);
    frameLog_ = nullptr;
    sound_.stop();
    scene_.sceneReady = false;
    // While the context is current, and before the host that lent the model its live picture.
    releaseSceneComponents(scene_);
    return 0;
}

bool SceneRun::handleEvents() {
    bool running = true;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT) {
            running = false;
        } else if (event.type == SDL_MOUSEMOTION) {
            window_.pointerMoved(seconds());
        } else if (event.type == SDL_WINDOWEVENT &&
                   (event.window.event == SDL_WINDOWEVENT_MOVED ||
                    event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)) {
            window_.moved();
        } else if (event.type == SDL_MOUSEBUTTONDOWN && event.button.button == SDL_BUTTON_LEFT &&
                   event.button.clicks == 2) {
            window_.toggleFullScreen();
        } else if (event.type == SDL_KEYDOWN && !event.key.repeat) {
            const SDL_Keycode key = event.key.keysym.sym;
            if (key == SDLK_ESCAPE && !window_.fullScreen()) running = false;
            else handleKey(key, (event.key.keysym.mod & KMOD_SHIFT) != 0);
        }
    }
    window_.updateCursor(seconds());
    return running;
}

bool SceneRun::waitWhileHidden() {
    const double from = seconds();
    SDL_WaitEventTimeout(nullptr, 100);
    // The frame rate counts the time frames were drawn in.
    if (frame_ >= kWarmUp) measuredFrom_ += seconds() - from;
    return !sound_.finished();
}

void SceneRun::handleKey(SDL_Keycode key, bool shift) {
    if (key == SDLK_ESCAPE || key == SDLK_f) {  // Escape in full screen leaves it
        window_.toggleFullScreen();
    } else if (key == SDLK_h || key == SDLK_F1) {
        controls_.toggleHelp(seconds());
    } else if (key == SDLK_RIGHT || key == SDLK_LEFT || key == SDLK_a) {
        controls_.look(key == SDLK_a      ? ProgramControls::LookKey::Mode
                       : key == SDLK_LEFT ? ProgramControls::LookKey::Previous
                                          : ProgramControls::LookKey::Next,
                       seconds());
    } else if (key >= SDLK_a && key <= SDLK_z) {
        controls_.choice(static_cast<char>('A' + (key - SDLK_a)), shift, seconds());
    }
}

// No server, a lost one, no source: on the standard error and in the window.
void SceneRun::showErrors() { controls_.showMessages(sound_.takeMessages(), seconds()); }

bool SceneRun::drawFrame() {
    sound_.fill(waveform_, frame_);
    host_.layoutAndMoveWindow();
    renderFrame(scene_, host_);
    host_.keepFrameForLivePicture();  // the scene alone, without the overlay
    showErrors();
    controls_.drawOverlay(seconds());
    window_.present();
    ++frame_;
    if (frame_ == kWarmUp) measuredFrom_ = seconds();
    if (frameLog_)
        std::fprintf(frameLog_, "%ld %lld %d %d %lld\n", frame_, monotonicNs(), scene_.frame.levelLeft,
                     scene_.frame.levelRight, static_cast<long long>(sound_.leadUs()));
    if (options_.frames > 0 && frame_ >= options_.frames) return false;
    return !sound_.finished();
}

void SceneRun::reportFrameRate() const {
    if (frame_ <= kWarmUp || (options_.frames <= 0 && !options_.flatOut)) return;
    const double elapsed = seconds() - measuredFrom_;
    std::printf("vizorama: %ld frames, %.1f frames per second after %ld frames of warm-up\n", frame_,
                static_cast<double>(frame_ - kWarmUp) / elapsed, kWarmUp);
}
