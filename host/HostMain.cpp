// Our stand-in for the player: loads a visualisation plug-in and drives it the way the player
// does, with a main window of the player's size for the plug-in to dock into and capture.
//
//   Winamp.exe [--plugin DLL] [--wav FILE] [--frames N] [--flat-out] [--cycles N]
//              [--config] [--config-after N] [--config-only] [--position X,Y] [--double-size]
//
// Exit status: 0 when every Init succeeded, 1 when an Init failed, 2 for a usage error or a
// plug-in that cannot be loaded.

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "host/Audio.h"
#include "host/HostReport.h"
#include "host/Screenshot.h"
#include "host/HostWindow.h"
#include "plugin/VisModule.h"

namespace {

struct Options {
    std::string plugin;
    std::string wav;
    long frames = 0;  // 0: until the plug-in or the user stops
    bool flatOut = false;
    int cycles = 1;
    long configAfter = -1;  // call Config once this many frames are drawn; -1: never
    bool configOnly = false;
    int x = 100, y = 100;
    bool doubleSize = false;
    int failInitStep = 0;
    int holdLoadingScreenMs = 0;
    bool reportWindows = false;
    std::string reportClass;
    std::string screenshot;
    std::vector<std::pair<long, std::string>> screenshotsAt;  // after frame N, before N + 1
};

const char* kUsage =
    "usage: Winamp.exe [--plugin DLL] [--wav FILE] [--frames N] [--flat-out] [--cycles N]\n"
    "                  [--config] [--config-after N] [--config-only] [--position X,Y]\n"
    "                  [--double-size]\n"
    "  --plugin DLL     the visualisation plug-in (default: Plugins\\vis_vzrm.dll here)\n"
    "  --wav FILE       play an 8 or 16-bit PCM WAV file (default: the built-in signal)\n"
    "  --frames N       stop after N frames (default: run until stopped)\n"
    "  --flat-out       do not sleep between frames\n"
    "  --cycles N       stop and start the plug-in N times without reloading it\n"
    "  --config         open the plug-in's configuration as soon as it runs\n"
    "  --config-after N open the plug-in's configuration after N frames\n"
    "  --config-only    open the plug-in's configuration and do not start it\n"
    "  --position X,Y   place the main window at X,Y (default 100,100)\n"
    "  --double-size    show the main window at double size (550 x 232)\n"
    "For tests:\n"
    "  --report-windows      print the plug-in's windows before Quit or after a failed Init\n"
    "  --report-class NAME   print whether the plug-in's class NAME is registered then\n"
    "  --screenshot FILE     save the screen as a BMP file before Quit\n"
    "  --screenshot-at N:FILE  save it once frame N is drawn (0: the start-up picture)\n"
    "  --fail-init-step N    make start-up step N fail (test build of the plug-in only)\n"
    "  --hold-loading-screen MS  keep each loading picture up this long (test build only)\n";

bool parseOptions(int argc, char** argv, Options& o) {
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
        else if (a == "--cycles" && value(v)) o.cycles = std::atoi(v);
        else if (a == "--report-class" && value(v)) o.reportClass = v;
        else if (a == "--screenshot" && value(v)) o.screenshot = v;
        else if (a == "--screenshot-at" && value(v) && std::strchr(v, ':'))
            o.screenshotsAt.emplace_back(std::strtol(v, nullptr, 10), std::strchr(v, ':') + 1);
        else if (a == "--fail-init-step" && value(v)) o.failInitStep = std::atoi(v);
        else if (a == "--hold-loading-screen" && value(v)) o.holdLoadingScreenMs = std::atoi(v);
        else if (a == "--report-windows") o.reportWindows = true;
        else if (a == "--config-after" && value(v)) o.configAfter = std::strtol(v, nullptr, 10);
        else if (a == "--position" && value(v)) {
            if (std::sscanf(v, "%d,%d", &o.x, &o.y) != 2) return false;
        } else if (a == "--flat-out") o.flatOut = true;
        else if (a == "--config") o.configAfter = 0;
        else if (a == "--config-only") o.configOnly = true;
        else if (a == "--double-size") o.doubleSize = true;
        else return false;
    }
    return o.frames >= 0 && o.cycles >= 1;
}

std::string executableFolder() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string full(path, n < MAX_PATH ? n : 0);
    size_t slash = full.find_last_of('\\');
    return slash == std::string::npos ? std::string() : full.substr(0, slash + 1);
}

struct VisRun {
    const Options* options = nullptr;
    const AudioSource* audio = nullptr;
    HWND mainWindow = nullptr;
    HMODULE library = nullptr;
    VisModule* module = nullptr;
    std::atomic<bool> stopRequested{false};
    std::atomic<bool> started{false};
    std::atomic<long> framesThisCycle{0};
    DWORD firstFrameTick = 0;  // when the first frame was asked for, after the start
    int status = 0;
    long framesDrawn = 0;
};

// What the plug-in left behind after a failed Init or a Quit.
void report(const Options& o, VisModule* m) {
    if (o.reportWindows) reportThreadWindows(m->hostWindow);
    if (!o.reportClass.empty()) reportClass(m->instance, o.reportClass);
}

// Counters that the test build of the plug-in keeps.
void reportCounters(HMODULE library) {
    auto loads = reinterpret_cast<int (*)()>(
        reinterpret_cast<void*>(GetProcAddress(library, "vzrmTextureSetLoads")));
    if (loads) std::printf("host: texture set loads %d\n", loads());
}

// The player's visualisation thread: Init, then messages first and a frame whenever none is
// waiting, then Quit on the same thread.
void visThread(VisRun* run) {
    const Options& o = *run->options;
    VisModule* m = run->module;
    for (int cycle = 0; cycle < o.cycles && !run->stopRequested; ++cycle) {
        m->hostWindow = run->mainWindow;
        if (m->Init(m) != 0) {
            std::fprintf(stderr, "host: the plug-in's Init failed\n");
            run->status = 1;
            report(o, m);
            break;
        }
        run->framesThisCycle = 0;
        if (!run->firstFrameTick) run->firstFrameTick = GetTickCount();
        run->started = true;
        long frames = 0;
        double timeMs = 0;
        for (;;) {
            MSG msg;
            if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) break;
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
                continue;
            }
            for (const auto& [frame, file] : o.screenshotsAt)
                if (frame == frames && !saveScreenshot(file))
                    std::fprintf(stderr, "host: cannot save the screenshot %s\n", file.c_str());
            if (run->stopRequested || (o.frames > 0 && frames >= o.frames)) break;
            // The player hands over the audio the plug-in's latency ahead of the play position;
            // the position advances by the plug-in's frame delay, so runs are repeatable.
            run->audio->fillBlock(timeMs + m->latencyMs, m->waveformData);
            if (m->Render(m) != 0) break;
            run->framesThisCycle = ++frames;
            timeMs += m->delayMs > 0 ? m->delayMs : 25;
            if (!o.flatOut) Sleep(m->delayMs > 0 ? static_cast<DWORD>(m->delayMs) : 0);
        }
        if (!o.screenshot.empty() && !saveScreenshot(o.screenshot))
            std::fprintf(stderr, "host: cannot save the screenshot %s\n", o.screenshot.c_str());
        if (o.reportWindows) reportThreadWindows(run->mainWindow);
        reportCounters(run->library);
        m->Quit(m);
        report(o, m);
        run->framesDrawn += frames;
        // Drop what the plug-in posted on its way out (its window's destroy posts a quit).
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    PostMessageA(run->mainWindow, kVisFinishedMessage, 0, 0);
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
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
                               std::pair{"vzrmHoldLoadingScreen", o.holdLoadingScreenMs}}) {
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

    int status = 0;
    if (o.configOnly) {
        module->Config(module);
    } else {
        VisRun run;
        run.options = &o;
        run.audio = &audio;
        run.mainWindow = mainWindow;
        run.library = library;
        run.module = module;
        setHostWindowCloseFlag(mainWindow, &run.stopRequested);
        std::thread vis(visThread, &run);
        bool configOpened = false;
        bool quitting = false;
        while (!quitting) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) quitting = true;
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            // The player's configuration entry runs on its own (user interface) thread, while
            // the visualisation runs on the other.
            if (o.configAfter >= 0 && !configOpened && run.started &&
                run.framesThisCycle >= o.configAfter) {
                configOpened = true;
                module->Config(module);
            }
        }
        vis.join();
        status = run.status;
        double seconds = (GetTickCount() - run.firstFrameTick) / 1000.0;
        std::printf("host: %ld frames in %.2f s (%.1f frames per second)\n", run.framesDrawn,
                    seconds, seconds > 0 ? run.framesDrawn / seconds : 0.0);
    }
    DestroyWindow(mainWindow);
    FreeLibrary(library);
    return status;
}
