#include "host/PluginDriver.h"

#include <cstdio>
#include <optional>
#include <thread>

#include "host/HostReport.h"
#include "host/HostWindow.h"
#include "host/Screenshot.h"
#include "host/SettingsWriter.h"
#include "settings/Settings.h"

namespace {

// What the plug-in left behind after a failed Init or a Quit.
void report(const HostOptions& o, VisModule* m) {
    if (o.reportWindows) reportThreadWindows(m->hostWindow);
    if (!o.reportClass.empty()) reportClass(m->instance, o.reportClass);
}

// A counter that the test build of the plug-in keeps, if this plug-in has it.
void reportCounter(HMODULE library, const char* exportName, const char* what) {
    auto counter = reinterpret_cast<int (*)()>(
        reinterpret_cast<void*>(GetProcAddress(library, exportName)));
    if (counter) std::printf("host: %s %d\n", what, counter());
    std::fflush(stdout);
}

// The frame after which the run's first counters are read: the first frames load what the
// plug-in keeps (textures, display lists, the driver's compiled programs), and the first round
// of the settings writer's versions makes it load each model and texture depth once.
long warmUpFrames(const HostOptions& o) {
    const long warmUp =
        o.replaceSettingsEvery > 0 ? SettingsWriter::kRound * o.replaceSettingsEvery : 100;
    return o.frames > 0 && o.frames < 2 * warmUp ? o.frames / 2 : warmUp;
}

void countersAfterFrame(const VisRun* run, long frames) {
    const HostOptions& o = *run->options;
    const long all = run->framesInAll;
    if (o.counters && all == frames && frames == warmUpFrames(o)) reportProcessCounters("start");
    if (o.countersEvery > 0 && all % o.countersEvery == 0) {
        char when[32];
        std::snprintf(when, sizeof when, "frame-%ld", all);
        reportProcessCounters(when);
    }
}

void screenshotAt(const HostOptions& o, long frame) {
    for (const auto& [at, file] : o.screenshotsAt)
        if (at == frame && !saveScreenshot(file))
            std::fprintf(stderr, "host: cannot save the screenshot %s\n", file.c_str());
}

// The player's loop: if a message is waiting, dispatch it; otherwise hand over the next block
// and call Render, then wait the plug-in's delay. Returns the frames asked for.
long playerLoop(VisRun* run) {
    const HostOptions& o = *run->options;
    VisModule* m = run->module;
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
        if (run->times) run->times->framePainted();
        if (o.mainThread) openConfigWhenDue(run);
        screenshotAt(o, frames);
        if (run->stopRequested || (o.frames > 0 && frames >= o.frames)) break;
        if (o.seconds > 0 && frames > 0 && GetTickCount() - run->firstFrameTick >= o.seconds * 1000) break;
        // The player hands over the audio the plug-in's latency ahead of the play position;
        // the position advances by the plug-in's frame delay, so runs are repeatable.
        run->audio->fillBlock(timeMs + m->latencyMs, m->waveformData);
        if (run->times) run->times->beforeRender(frames);
        if (m->Render(m) != 0) break;
        run->framesThisCycle = ++frames;
        ++run->framesInAll;
        countersAfterFrame(run, frames);
        timeMs += m->delayMs > 0 ? m->delayMs : 25;
        if (!o.flatOut) Sleep(m->delayMs > 0 ? static_cast<DWORD>(m->delayMs) : 0);
    }
    return frames;
}

// Another host's audio thread: writes each block into the module and calls Render, without
// waiting for the frame to be drawn.
class AudioThread {
public:
    explicit AudioThread(VisRun* run)
        : run_(run), finished_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
          thread_([this] { deliver(); }) {}
    ~AudioThread() {
        stop();
        CloseHandle(finished_);
    }
    AudioThread(const AudioThread&) = delete;
    AudioThread& operator=(const AudioThread&) = delete;

    HANDLE finished() const { return finished_; }

    // Asks the thread to stop and waits for it; returns the blocks it handed over.
    long stop() {
        stopping_ = true;
        if (thread_.joinable()) thread_.join();
        return blocks_;
    }

private:
    void deliver() {
        const HostOptions& o = *run_->options;
        VisModule* m = run_->module;
        double timeMs = 0;
        while (!stopping_ && !run_->stopRequested && (o.frames == 0 || blocks_ < o.frames)) {
            run_->audio->fillBlock(timeMs + m->latencyMs, m->waveformData);
            if (m->Render(m) != 0) break;
            run_->framesThisCycle = ++blocks_;
            ++run_->framesInAll;
            timeMs += m->delayMs > 0 ? m->delayMs : 25;
            if (!o.flatOut) Sleep(m->delayMs > 0 ? static_cast<DWORD>(m->delayMs) : 0);
        }
        SetEvent(finished_);
    }

    VisRun* run_;
    HANDLE finished_;
    std::atomic<bool> stopping_{false};
    long blocks_ = 0;
    std::thread thread_;
};

// The window thread while the audio thread renders: messages only, until the audio thread has
// handed over its blocks, the plug-in asks to stop or the user closes the main window.
void windowLoop(VisRun* run, const AudioThread& audio) {
    HANDLE finished = audio.finished();
    for (;;) {
        DWORD woke = MsgWaitForMultipleObjects(1, &finished, FALSE, 100, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0) break;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (run->stopRequested) return;
        openConfigWhenDue(run);
    }
    // Let the frame asked for last be drawn.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&msg);
}

// Stops the settings writer and prints what it wrote and what the frames saw of it.
void finishWriter(VisRun* run, SettingsWriter& writer) {
    writer.stop();
    std::printf("host: settings versions written %ld (%ld failed)\n", writer.versions(),
                writer.failures());
    reportCounter(run->library, "vzrmFramesChecked", "frames checked");
    reportCounter(run->library, "vzrmSettingsVersionsSeen", "settings versions seen");
    reportCounter(run->library, "vzrmMixedSettingsFrames", "frames mixing settings versions");
}

}  // namespace

void quitPlugin(VisRun* run) {
    VisModule* m = run->module;
    if (run->times) run->times->beforeQuit();
    m->Quit(m);
    if (run->times) run->times->afterQuit();
    report(*run->options, m);
    reportCounter(run->library, "vzrmSettingsWrites", "settings writes");
}

void openConfigWhenDue(VisRun* run) {
    const HostOptions& o = *run->options;
    if (o.configAfter < 0 || run->configOpened || !run->started ||
        run->framesThisCycle < o.configAfter)
        return;
    run->configOpened = true;
    run->module->Config(run->module);
}

void runPlugin(VisRun* run) {
    const HostOptions& o = *run->options;
    VisModule* m = run->module;
    std::optional<SettingsWriter> writer;
    for (int cycle = 0; cycle < o.cycles && !run->stopRequested; ++cycle) {
        const bool last = cycle + 1 == o.cycles;
        if (o.replaceSettingsEvery > 0 && cycle == 0)
            writer.emplace(pathBesideExecutable(kSettingsFile), run->framesInAll,
                           o.replaceSettingsEvery);
        // A host that destroyed its main window opens a new one for the next start.
        if (!IsWindow(run->mainWindow)) run->mainWindow = createHostWindow(o.x, o.y, o.doubleSize);
        m->hostWindow = run->mainWindow;
        if (o.configBeforeInit) m->Config(m);
        if (run->times) run->times->beforeInit();
        const int initResult = m->Init(m);
        if (run->times && initResult == 0) run->times->afterInit();
        if (initResult != 0) {
            std::fprintf(stderr, "host: the plug-in's Init failed\n");
            run->status = 1;
            report(o, m);
            if (o.quitAfterFailedInit) quitPlugin(run);
            break;
        }
        run->framesThisCycle = 0;
        if (!run->firstFrameTick) {
            run->firstFrameTick = GetTickCount();
            run->firstFrameCpu = processCpuSeconds();
        }
        run->started = true;

        long frames = 0;
        std::optional<AudioThread> audio;
        if (o.renderThread) {
            audio.emplace(run);
            windowLoop(run, *audio);
        } else {
            frames = playerLoop(run);
        }

        if (!o.screenshot.empty() && !saveScreenshot(o.screenshot))
            std::fprintf(stderr, "host: cannot save the screenshot %s\n", o.screenshot.c_str());
        if (o.reportWindows) reportThreadWindows(run->mainWindow);
        // Such a host closes its main window, and with it the plug-in's, while its audio
        // thread may still be delivering.
        if (o.destroyBeforeQuit) DestroyWindow(run->mainWindow);
        reportCounter(run->library, "vzrmTextureSetLoads", "texture set loads");
        reportCounter(run->library, "vzrmTexturesHeld", "textures held");
        if (audio) frames = audio->stop();
        if (o.counters && last) reportProcessCounters("last-frame");
        // Stopped before the last Quit, whose write of the file would otherwise race it.
        if (writer && (last || run->stopRequested)) {
            finishWriter(run, *writer);
            writer.reset();
        }
        quitPlugin(run);
        if (o.counters && cycle == 0) reportProcessCounters("first-quit");
        // The first starts still grow the heap and the OpenGL driver's caches.
        if (o.counters && cycle > 0 && cycle + 1 == (o.cycles >= 20 ? 10 : o.cycles / 2))
            reportProcessCounters("warm-quit");
        if (o.counters && last && cycle > 0) reportProcessCounters("end");
        run->framesDrawn += frames;
        // Drop what the plug-in posted on its way out (its window's destroy posts a quit).
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
}

double processCpuSeconds() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    auto seconds = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}
