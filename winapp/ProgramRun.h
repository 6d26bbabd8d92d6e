#pragma once
// The scene's run in the Windows program's window, driven as the plug-in is driven: set-up
// once, then a frame per display refresh on the block being heard. Between frames the window's
// input is handled: the keys change the choices or the look and save them, H shows the help,
// F and a double click toggle full screen, Escape leaves full screen and then quits, a right
// click opens the configuration utility on the program's settings file. While the window is
// minimised no frames are drawn and the sound runs on. Failures show in the window.

#include <cstdint>
#include <cstdio>
#include <string>

#include "audio/AudioSource.h"
#include "frontend/Options.h"
#include "frontend/SettingsStore.h"
#include "frontend/ProgramControls.h"
#include "scene/SceneState.h"
#include "winapp/Paths.h"
#include "winapp/ProgramWindow.h"
#include "winapp/SoundFeed.h"
#include "winapp/WinSceneHost.h"

class ProgramRun {
public:
    ProgramRun(ProgramWindow& window, const Options& options, const AudioSource& music, const ProgramFolders& folders);

    // Runs until the window is closed, Escape in a window, the frame limit or the end of the
    // WAV file; the exit code (1 when the scene could not be made).
    int run();

private:
    // False when the program is to end.
    bool handleInput();
    void handleKey(int key, bool shift);
    void openUtility();
    // What the scene reported and what happened to the sound, shown in the window too.
    void showErrors();
    bool drawFrame();
    void reportFrameRate() const;

    ProgramWindow& window_;
    const Options& options_;
    ProgramFolders folders_;
    SceneState scene_;
    SettingsStore store_;
    uint8_t waveform_[2][kWaveformSamples] = {};
    WinSceneHost host_;
    ProgramControls controls_;
    SoundFeed sound_;
    std::FILE* frameLog_ = nullptr;
    static constexpr long kWarmUp = 10;
    double measuredFrom_ = 0;
    long frame_ = 0;
};
