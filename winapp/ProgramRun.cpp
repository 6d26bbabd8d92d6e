#include "winapp/ProgramRun.h"

#include <shellapi.h>

#include <vector>

#include "scene/Scene.h"

namespace {

// The wall clock in nanoseconds since 1970 (the frame log's time: the tests' sound player on
// the other side of Wine reads the same clock).
long long wallClockNs() {
    // The precise clock where the system has it (Windows 8 on), else the ordinary one.
    using Now = void(WINAPI*)(LPFILETIME);
    static const auto precise = reinterpret_cast<Now>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
    FILETIME now;
    if (precise) precise(&now);
    else GetSystemTimeAsFileTime(&now);
    const unsigned long long ticks = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    return static_cast<long long>(ticks - 116444736000000000ULL) * 100;
}

}  // namespace

ProgramRun::ProgramRun(ProgramWindow& window, const Options& options, const AudioSource& music,
                       const ProgramFolders& folders)
    : window_(window),
      options_(options),
      folders_(folders),
      host_(window, scene_, AssetFolders{folders.own, {folders.skyboxes}, {folders.models}, folders.looks}, store_),
      controls_(scene_, host_, store_,
                {"F  full screen (or double click)", "H  this help", "ESC  leave full screen, quit",
                 "right click  all settings"}),
      sound_(options, music) {}

int ProgramRun::run() {
    createSceneComponents(scene_);
    if (!scene_.settings || !scene_.model || !scene_.skybox) {
        releaseSceneComponents(scene_);
        return 1;
    }
    host_.tell(store_.open(*scene_.settings, folders_.settingsFile()));
    scene_.waveform = waveform_;
    host_.layoutAndMoveWindow();
    initScene(scene_, host_);
    showErrors();
    // The sound starts once the scene is up, so the first thing heard is also seen.
    sound_.start();
    if (!options_.frameLog.empty()) {
        frameLog_ = std::fopen(options_.frameLog.c_str(), "w");
        if (!frameLog_) host_.tell("cannot write " + options_.frameLog);
    }
    while (handleInput()) {
        if (!window_.shown()) {
            const double from = seconds();
            window_.waitForMessage(100);
            if (frame_ >= kWarmUp) measuredFrom_ += seconds() - from;  // the rate counts drawn time
            if (sound_.finished()) break;
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

bool ProgramRun::handleInput() {
    WindowInput input;
    window_.pump(input);
    bool running = !input.closed;
    for (const WindowInput::Key& key : input.keys) {
        if (key.code == VK_ESCAPE && !window_.fullScreen()) running = false;
        else handleKey(key.code, key.shift);
    }
    if (input.rightClick) openUtility();
    return running;
}

void ProgramRun::handleKey(int key, bool shift) {
    if (key == VK_ESCAPE || key == 'F') {  // Escape in full screen leaves it
        window_.toggleFullScreen();
    } else if (key == 'H' || key == VK_F1) {
        controls_.toggleHelp(seconds());
    } else if (key == VK_RIGHT || key == VK_LEFT || key == 'A') {
        controls_.look(key == 'A'       ? ProgramControls::LookKey::Mode
                       : key == VK_LEFT ? ProgramControls::LookKey::Previous
                                        : ProgramControls::LookKey::Next,
                       seconds());
    } else if (key >= 'A' && key <= 'Z') {
        controls_.choice(static_cast<char>(key), shift, seconds());
    }
}

// The utility edits this program's settings file; the frames take its changes up as they do a
// hand edit's.
void ProgramRun::openUtility() {
    const std::string utility = folders_.utility();
    const std::string settings = store_.path();
    if (settings.empty()) {
        host_.tell("there is no settings file for the configuration utility");
        return;
    }
    const std::string folder = utility.substr(0, utility.find_last_of('\\') + 1);
    const std::string parameters = "--settings \"" + settings + "\"";
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteA(window_.handle(), "open", utility.c_str(), parameters.c_str(), folder.c_str(), SW_SHOWNORMAL));
    if (result <= 32) host_.tell("cannot start the configuration utility " + utility);
    showErrors();
}

// No device, a device gone and back: on the standard error and in the window.
void ProgramRun::showErrors() { controls_.showMessages(sound_.takeMessages(), seconds()); }

bool ProgramRun::drawFrame() {
    sound_.fill(waveform_, frame_);
    host_.layoutAndMoveWindow();
    renderFrame(scene_, host_);
    host_.keepFrameForLivePicture();  // the scene alone, without the overlay
    showErrors();
    controls_.drawOverlay(seconds());
    window_.present();
    ++frame_;
    if (frame_ == kWarmUp) measuredFrom_ = seconds();
    if (frameLog_) {
        std::fprintf(frameLog_, "%ld %lld %d %d %lld\n", frame_, wallClockNs(), scene_.frame.levelLeft,
                     scene_.frame.levelRight, static_cast<long long>(sound_.leadUs()));
        std::fflush(frameLog_);  // readers follow it while it runs
    }
    if (options_.frames > 0 && frame_ >= options_.frames) return false;
    return !sound_.finished();
}

void ProgramRun::reportFrameRate() const {
    if (frame_ <= kWarmUp || (options_.frames <= 0 && !options_.flatOut)) return;
    const double elapsed = seconds() - measuredFrom_;
    char line[160];
    std::snprintf(line, sizeof line, "vizorama: %ld frames, %.1f frames per second after %ld frames of warm-up\n",
                  frame_, static_cast<double>(frame_ - kWarmUp) / elapsed, kWarmUp);
    std::fputs(line, stdout);
    std::fflush(stdout);
}
