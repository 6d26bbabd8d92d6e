#pragma once
// The scene's run in the program's window, driven as the plug-in is driven: set-up once, then
// a frame per display refresh on the newest sound block. Between frames the window's events
// are handled (keys change the choices or the look and save them, H shows the help, F and a double click
// toggle full screen, the pointer shows the cursor); while the window is minimised no frames
// are drawn, and the sound runs on; at the end, the frame rate is reported.

#include <SDL.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "audio/AudioSource.h"
#include "linux/GlWindow.h"
#include "frontend/Options.h"
#include "frontend/ProgramControls.h"
#include "linux/Paths.h"
#include "linux/SdlSceneHost.h"
#include "frontend/SettingsStore.h"
#include "linux/SoundFeed.h"
#include "scene/SceneState.h"

class SceneRun {
public:
    // dataFolder: our assets (with its trailing '/'); user: the user's folders.
    SceneRun(GlWindow& window, const Options& options, const AudioSource& music,
             const std::string& dataFolder, const UserFolders& user);

    // Runs until the window is closed, Escape in a window, the frame limit or the end of the
    // WAV file; the exit code (1 when the scene could not be made).
    int run();

private:
    // False when the program is to end.
    bool handleEvents();
    // Waits (briefly) for the events that end a minimised spell; false when the WAV file's end
    // has come meanwhile.
    bool waitWhileHidden();
    void handleKey(SDL_Keycode key, bool shift);
    // What the scene reported (a model that would not load, say) and what happened to the
    // sound, shown in the window too.
    void showErrors();
    // Draws and shows one frame; false when the frame limit or the WAV file's end is reached.
    bool drawFrame();
    void reportFrameRate() const;

    GlWindow& window_;
    const Options& options_;
    std::string dataFolder_;
    UserFolders user_;
    SceneState scene_;
    SettingsStore store_;
    uint8_t waveform_[2][kWaveformSamples] = {};
    SdlSceneHost host_;
    ProgramControls controls_;
    SoundFeed sound_;
    std::FILE* frameLog_ = nullptr;
    static constexpr long kWarmUp = 10;  // frames before the frame rate is measured
    double measuredFrom_ = 0;
    long frame_ = 0;
};
