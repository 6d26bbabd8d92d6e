#pragma once
// How the host drives a loaded visualisation plug-in: the player's way (a visualisation thread
// of its own that runs Init, the messages, Render and Quit) or the ways other hosts have (all of
// it on the main thread with the main window, Render from an audio thread of its own, Config
// before every Init, the main window destroyed before Quit, Quit after a failed Init).

#include <windows.h>

#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "audio/AudioSource.h"
#include "host/CallTimes.h"
#include "plugin/VisModule.h"

// CPU seconds (user + kernel) this process has used so far, all its threads together.
double processCpuSeconds();

struct HostOptions {
    std::string plugin;
    std::string wav;
    long frames = 0;  // 0: until the plug-in or the user stops
    double seconds = 0;  // stop after this long from the first frame; 0: no limit
    bool flatOut = false;
    int cycles = 1;
    long configAfter = -1;  // call Config once this many frames are drawn; -1: never
    bool configOnly = false;
    int x = 100, y = 100;
    bool doubleSize = false;
    long replaceSettingsEvery = 0;  // replace the settings file every N frames; 0: never
    bool counters = false;  // print the process's counters as the run goes
    long countersEvery = 0;  // and every N frames; 0: never
    int failInitStep = 0;
    int holdLoadingScreenMs = 0;
    int lookClockPercent = 0;  // the test build's looks timer speed; 0: the wall clock's
    bool reportWindows = false;
    std::string reportClass;
    std::string screenshot;
    std::vector<std::pair<long, std::string>> screenshotsAt;  // after frame N, before N + 1
    bool timeCalls = false;  // print how long the start, each switch and Quit take
    std::vector<SettingsSwitch> switches;  // settings changes to time, in order
    long switchAfter = 10;  // frames after the start, and after each switch, before the next

    // Other hosts' habits.
    bool mainThread = false;    // Init, messages, Render and Quit on the main thread
    bool renderThread = false;  // Render from a thread of its own (implies mainThread)
    bool destroyBeforeQuit = false;  // main window destroyed before Quit (implies mainThread)
    bool configBeforeInit = false;
    bool quitAfterFailedInit = false;
    bool quitOnly = false;  // Quit without any Init
};

struct VisRun {
    const HostOptions* options = nullptr;
    const AudioSource* audio = nullptr;
    HWND mainWindow = nullptr;
    HMODULE library = nullptr;
    VisModule* module = nullptr;
    std::atomic<bool> stopRequested{false};
    std::atomic<bool> started{false};
    std::atomic<long> framesThisCycle{0};
    std::atomic<long> framesInAll{0};
    bool configOpened = false;
    DWORD firstFrameTick = 0;  // when the first frame was asked for, after the start
    double firstFrameCpu = 0;  // the process's CPU seconds (user + kernel) at that moment
    int status = 0;
    long framesDrawn = 0;
    CallTimes* times = nullptr;  // when the calls are timed
};

// Init, frames until the limit or a stop, Quit; as many cycles as asked for. Runs on the
// thread that is to own the plug-in's windows.
void runPlugin(VisRun* run);

// Quit, then what the plug-in left behind.
void quitPlugin(VisRun* run);

// Calls Config once, when the frames asked for are drawn.
void openConfigWhenDue(VisRun* run);
