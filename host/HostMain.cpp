// Our stand-in for the player: loads a visualisation plug-in and drives it the way the player
// does, with a main window of the player's size for the plug-in to dock into and capture; or,
// on request, the ways other hosts of such plug-ins drive them.
//
//   Winamp.exe [--plugin DLL] [--wav FILE] [--frames N] [--flat-out] [--cycles N]
//              [--config] [--config-after N] [--config-only] [--position X,Y] [--double-size]
//              [--main-thread] [--render-thread] [--destroy-before-quit] [--config-before-init]
//              [--quit-after-failed-init] [--quit-only]
//              [--time-calls] [--switch NAME:KEY=VALUE[,KEY=VALUE...]]... [--switch-after N]
//              [--seconds S] [--look-clock-percent P]
//
// Exit status: 0 when every Init succeeded, 1 when an Init failed, 2 for a usage error or a
// plug-in that cannot be loaded.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "audio/AudioSource.h"
#include "host/HostWindow.h"
#include "host/PluginDriver.h"
#include "plugin/VisModule.h"
#include "settings/Settings.h"

namespace {

const char* kUsage =
    "usage: Winamp.exe [--plugin DLL] [--wav FILE] [--frames N] [--flat-out] [--cycles N]\n"
    "                  [--config] [--config-after N] [--config-only] [--position X,Y]\n"
    "                  [--double-size] [--main-thread] [--render-thread]\n"
    "                  [--destroy-before-quit] [--config-before-init]\n"
    "                  [--quit-after-failed-init] [--quit-only]\n"
    "  --plugin DLL     the visualisation plug-in (default: Plugins\\vis_vzrm.dll here)\n"
    "  --wav FILE       play an 8 or 16-bit PCM WAV file (default: the built-in signal)\n"
    "  --frames N       stop after N frames (default: run until stopped)\n"
    "  --seconds S      stop S seconds after the first frame\n"
    "  --flat-out       do not sleep between frames\n"
    "  --cycles N       stop and start the plug-in N times without reloading it\n"
    "  --config         open the plug-in's configuration as soon as it runs\n"
    "  --config-after N open the plug-in's configuration after N frames\n"
    "  --config-only    open the plug-in's configuration and do not start it\n"
    "  --position X,Y   place the main window at X,Y (default 100,100)\n"
    "  --double-size    show the main window at double size (550 x 232)\n"
    "  --time-calls     print how long Init takes, from Init to the first frame on screen,\n"
    "                   each switch below to its first frame on screen, and Quit (ms)\n"
    "  --switch NAME:KEY=VALUE[,KEY=VALUE...]  with --time-calls: write these keys into the\n"
    "                   settings file, after the frames below, and time the frame that shows\n"
    "                   them (repeat for more switches, made in order)\n"
    "  --switch-after N frames after the start and after each switch before the next\n"
    "                   (default 10); the run stops N frames after the last\n"
    "                   With the test build of the plug-in, --time-calls also prints the\n"
    "                   frames' times and those of the frames that changed the look\n"
    "  --look-clock-percent P  run the looks' timer at P% of the wall clock (test build)\n"
    "Like other hosts:\n"
    "  --main-thread    run the plug-in on the main thread, with the main window\n"
    "  --render-thread  call Render from an audio thread of its own, once per block\n"
    "                   (the plug-in's start, messages and stop stay on the main thread)\n"
    "  --destroy-before-quit  destroy the main window before calling Quit\n"
    "                   (on the main thread, whose windows the plug-in's are)\n"
    "  --config-before-init   open the plug-in's configuration before every start\n"
    "  --quit-after-failed-init  call Quit even when Init failed\n"
    "  --quit-only      call Quit without starting the plug-in\n"
    "For tests:\n"
    "  --report-windows      print the plug-in's windows before Quit or after a failed Init\n"
    "  --report-class NAME   print whether the plug-in's class NAME is registered then\n"
    "  --screenshot FILE     save the screen as a BMP file before Quit\n"
    "  --screenshot-at N:FILE  save it once frame N is drawn (0: the start-up picture)\n"
    "  --fail-init-step N    make start-up step N fail (test build of the plug-in only)\n"
    "  --hold-loading-screen MS  keep each loading picture up this long (test build only)\n"
    "  --replace-settings N  replace the settings file below this folder every N frames from\n"
    "                   another thread, each version with its number in the light colours;\n"
    "                   with the test build of the plug-in, prints how many frames mixed\n"
    "                   two versions\n"
    "  --counters       print memory, GDI and USER objects and handles after the first\n"
    "                   frames, after the last frame, after the first, the tenth and the\n"
    "                   last Quit\n"
    "  --counters-every N   print them every N frames as well\n";


bool parseOptions(int argc, char** argv, HostOptions& o) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](const char*& out) {
            if (i + 1 >= argc) return false;
            out = argv[++i];
            return true;
        };
        const char* v = nullptr;
        if (a == "--plugin" && value(v)) o.plugin = v;
        else if (a == "--wav" && value(v)) o.wav = v;
        else if (a == "--frames" && value(v)) o.frames = std::strtol(v, nullptr, 10);
        else if (a == "--seconds" && value(v)) o.seconds = std::strtod(v, nullptr);
        else if (a == "--look-clock-percent" && value(v)) o.lookClockPercent = std::atoi(v);
        else if (a == "--cycles" && value(v)) o.cycles = std::atoi(v);
        else if (a == "--report-class" && value(v)) o.reportClass = v;
        else if (a == "--screenshot" && value(v)) o.screenshot = v;
        else if (a == "--screenshot-at" && value(v) && std::strchr(v, ':'))
            o.screenshotsAt.emplace_back(std::strtol(v, nullptr, 10), std::strchr(v, ':') + 1);
        else if (a == "--fail-init-step" && value(v)) o.failInitStep = std::atoi(v);
        else if (a == "--hold-loading-screen" && value(v)) o.holdLoadingScreenMs = std::atoi(v);
        else if (a == "--replace-settings" && value(v))
            o.replaceSettingsEvery = std::strtol(v, nullptr, 10);
        else if (a == "--counters") o.counters = true;
        else if (a == "--time-calls") o.timeCalls = true;
        else if (a == "--switch" && value(v)) {
            SettingsSwitch change;
            if (!parseSettingsSwitch(v, change)) return false;
            o.switches.push_back(std::move(change));
        } else if (a == "--switch-after" && value(v))
            o.switchAfter = std::strtol(v, nullptr, 10);
        else if (a == "--counters-every" && value(v))
            o.counters = (o.countersEvery = std::strtol(v, nullptr, 10)) > 0;
        else if (a == "--report-windows") o.reportWindows = true;
        else if (a == "--config-after" && value(v)) o.configAfter = std::strtol(v, nullptr, 10);
        else if (a == "--position" && value(v)) {
            if (std::sscanf(v, "%d,%d", &o.x, &o.y) != 2) return false;
        } else if (a == "--flat-out") o.flatOut = true;
        else if (a == "--config") o.configAfter = 0;
        else if (a == "--config-only") o.configOnly = true;
        else if (a == "--double-size") o.doubleSize = true;
        else if (a == "--main-thread") o.mainThread = true;
        else if (a == "--render-thread") o.renderThread = true;
        else if (a == "--destroy-before-quit") o.destroyBeforeQuit = true;
        else if (a == "--config-before-init") o.configBeforeInit = true;
        else if (a == "--quit-after-failed-init") o.quitAfterFailedInit = true;
        else if (a == "--quit-only") o.quitOnly = true;
        else return false;
    }
    // The plug-in's windows belong to the thread that calls Init: a host that destroys its main
    // window with them, or renders from elsewhere, runs the plug-in on its main thread.
    if (o.renderThread || o.destroyBeforeQuit) o.mainThread = true;
    // Frames are drawn when the window's thread gets to them, not when Render returns.
    if (o.renderThread && !o.screenshotsAt.empty()) return false;
    // Frames are timed on the thread that draws them, and switches need the timing.
    if (o.timeCalls && o.renderThread) return false;
    if (!o.switches.empty() && (!o.timeCalls || o.switchAfter < 1)) return false;
    return o.frames >= 0 && o.cycles >= 1 && o.replaceSettingsEvery >= 0;
}

std::string executableFolder() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string full(path, n < MAX_PATH ? n : 0);
    size_t slash = full.find_last_of('\\');
    return slash == std::string::npos ? std::string() : full.substr(0, slash + 1);
}

// The player's visualisation thread; the main window ends the host when it has finished.
void visThread(VisRun* run) {
    runPlugin(run);
    PostMessageA(run->mainWindow, kVisFinishedMessage, 0, 0);
}

}  // namespace

int main(int argc, char** argv) {
    HostOptions o;
    if (!parseOptions(argc, argv, o)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (o.plugin.empty()) o.plugin = executableFolder() + "Plugins\\vis_vzrm.dll";

    AudioSource audio;
    if (!o.wav.empty()) {
        std::string error;
        if (!audio.loadWav(o.wav, error)) {
            std::fprintf(stderr, "host: %s\n", error.c_str());
            return 2;
        }
    }

    HMODULE library = LoadLibraryA(o.plugin.c_str());
    if (!library) {
        std::fprintf(stderr, "host: cannot load the plug-in %s (error %lu)\n", o.plugin.c_str(),
                     GetLastError());
        return 2;
    }
    GetHeaderFunction getHeader = findGetHeader(library);
    VisHeader* header = getHeader ? getHeader() : nullptr;
    VisModule* module = header && header->getModule ? header->getModule(0) : nullptr;
    if (!module) {
        std::fprintf(stderr, "host: %s is not a visualisation plug-in (no %s export or module)\n",
                     o.plugin.c_str(), kGetHeaderExport);
        FreeLibrary(library);
        return 2;
    }
    for (auto [hook, value] : {std::pair{"vzrmFailInitStep", o.failInitStep},
                               std::pair{"vzrmHoldLoadingScreen", o.holdLoadingScreenMs},
                               std::pair{"vzrmLookClockPercent", o.lookClockPercent}}) {
        if (!value) continue;
        auto set = reinterpret_cast<void (*)(int)>(
            reinterpret_cast<void*>(GetProcAddress(library, hook)));
        if (!set) {
            std::fprintf(stderr, "host: %s has no test hooks\n", o.plugin.c_str());
            FreeLibrary(library);
            return 2;
        }
        set(value);
    }
    module->instance = library;
    module->sampleRate = audio.sampleRate();
    module->channelCount = 2;

    HWND mainWindow = createHostWindow(o.x, o.y, o.doubleSize);
    if (!mainWindow) {
        std::fprintf(stderr, "host: cannot create the main window\n");
        FreeLibrary(library);
        return 2;
    }
    module->hostWindow = mainWindow;

    std::optional<CallTimes> times;
    if (o.timeCalls) {
        times.emplace(o.switches, o.switchAfter, pathBesideExecutable(kSettingsFile), library);
        if (!o.switches.empty() && o.frames == 0) o.frames = times->framesNeeded();
    }

    int status = 0;
    VisRun run;
    if (times) run.times = &*times;
    run.options = &o;
    run.audio = &audio;
    run.mainWindow = mainWindow;
    run.library = library;
    run.module = module;
    if (o.configOnly) {
        module->Config(module);
    } else if (o.quitOnly) {
        quitPlugin(&run);
    } else {
        setHostWindowCloseFlag(mainWindow, &run.stopRequested);
        if (o.mainThread) {
            runPlugin(&run);
        } else {
            std::thread vis(visThread, &run);
            bool quitting = false;
            while (!quitting) {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
                MSG msg;
                while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                    if (msg.message == WM_QUIT) quitting = true;
                    TranslateMessage(&msg);
                    DispatchMessageA(&msg);
                }
                // The player's configuration entry runs on its own (user interface) thread,
                // while the visualisation runs on the other.
                openConfigWhenDue(&run);
            }
            vis.join();
        }
        mainWindow = run.mainWindow;  // a new one if the first was destroyed
        status = run.status;
        double seconds = (GetTickCount() - run.firstFrameTick) / 1000.0;
        double cpu = processCpuSeconds() - run.firstFrameCpu;
        std::printf("host: %ld frames in %.2f s (%.1f frames per second), %.2f ms of CPU a frame\n",
                    run.framesDrawn, seconds, seconds > 0 ? run.framesDrawn / seconds : 0.0,
                    run.framesDrawn > 0 ? 1000 * cpu / run.framesDrawn : 0.0);
    }
    if (IsWindow(mainWindow)) DestroyWindow(mainWindow);
    FreeLibrary(library);
    return status;
}
