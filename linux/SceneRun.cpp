#include "linux/SceneRun.h"

#include <vector>

#include "linux/Say.h"
#include "settings/ChoiceKeys.h"
#include "scene/Scene.h"

#ifndef VZRM_VERSION
#define VZRM_VERSION "0"
#endif

SceneRun::SceneRun(GlWindow& window, const Options& options, const AudioSource& music,
                   const std::string& dataFolder, const UserFolders& user)
    : window_(window),
      options_(options),
      dataFolder_(dataFolder),
      user_(user),
      host_(window.window(), scene_,
            AssetFolders{dataFolder, {user.skyboxes}, {user.models}, user.looks}, store_),
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
        toggleHelp();
    } else if (key == SDLK_RIGHT || key == SDLK_LEFT || key == SDLK_a) {
        applyLookKey(key);
    } else if (key >= SDLK_a && key <= SDLK_z) {
        applyChoice(static_cast<char>('A' + (key - SDLK_a)), shift);
    }
}

// Toggles the help; over the short note of a key it shows the help.
void SceneRun::toggleHelp() {
    if (helpShown_ && overlay_.visible(seconds())) {
        overlay_.hide();
        return;
    }
    helpShown_ = true;
    overlay_.show(helpLines("Vizorama " VZRM_VERSION " - keys",
                            {"F  full screen (or double click)", "H  this help",
                             "ESC  leave full screen, quit"},
                            *scene_.settings),
                  seconds(), 8);
}

void SceneRun::applyChoice(char letter, bool shift) {
    // The names on disk may have changed since the start.
    AssetNames names;
    if (letter == 'B') names.skyboxes = host_.folders().namesOf(AssetKind::Skybox);
    if (letter == 'N') names.models = host_.folders().namesOf(AssetKind::Model);
    Settings& settings = *scene_.settings;
    const std::string chosen = applyChoiceKey(letter, shift, settings, names);
    if (chosen.empty()) return;
    settings.lookName = "";  // the user's own settings now, no look of the library's
    host_.tell(store_.save(settings, KeySet::LookAndName));
    std::vector<std::string> lines = {chosen};
    for (const std::string& c : currentChoices(settings)) lines.push_back(c);
    overlay_.show(lines, seconds(), 3);
    helpShown_ = false;
}

void SceneRun::applyLookKey(SDL_Keycode key) {
    Settings& settings = *scene_.settings;
    if (key == SDLK_a) {
        scene_.looks.stepMode(settings, host_);
        overlay_.show({lookStatus(settings)}, seconds(), 3);
        helpShown_ = false;
    } else {
        // The look's name shows in the scene's own corner.
        scene_.looks.step(key == SDLK_RIGHT ? 1 : -1, settings, host_);
    }
    showErrors();
}

void SceneRun::showErrors() {
    std::vector<std::string> lines = host_.takeErrorLines();
    for (const std::string& line : sound_.takeMessages()) {  // no server, a lost one, no source
        say(line);
        lines.push_back(line);
    }
    if (lines.empty()) return;
    overlay_.show(lines, seconds(), 6);
    helpShown_ = false;
}

bool SceneRun::drawFrame() {
    sound_.fill(waveform_, frame_);
    host_.layoutAndMoveWindow();
    renderFrame(scene_, host_);
    host_.keepFrameForLivePicture();  // the scene alone, without the overlay
    showErrors();
    overlay_.draw(host_.width(), host_.height(), seconds(), host_.pixelRatio());
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
