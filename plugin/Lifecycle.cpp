// The plug-in's export, its module record and the four entries the player calls.

#include "plugin/Lifecycle.h"

#include <windows.h>

#include <cstring>
#include <utility>

#include "plugin/Launcher.h"
#include "plugin/PluginState.h"
#include "plugin/RenderWindow.h"
#include "plugin/VisModule.h"
#include "plugin/Win32SceneHost.h"
#include "scene/Scene.h"

namespace {

void config(VisModule* module);
int init(VisModule* module);
int render(VisModule* module);
void quit(VisModule* module);

VisModule module = {
    "Vizorama",
    nullptr,
    nullptr,
    0,
    0,
    25,
    25,
    2,
    2,
    {},
    {},
    config,
    init,
    render,
    quit,
    nullptr,
};

VisModule* getModule(int index) { return index == 0 ? &module : nullptr; }

VisHeader header = {kVisHeaderVersion, "Vizorama v1.51", getModule};

// The components exist from the moment the player loads the library.
struct CreateAtLoad {
    CreateAtLoad() { createSceneComponents(pluginState().scene); }
} createAtLoad;

// Any thread, at any time, also before Init.
void config(VisModule* module) { launchConfigurator(module ? module->hostWindow : nullptr); }

int init(VisModule* module) {
    PluginState& s = pluginState();
    // A player may stop and start the plug-in without reloading it: bring back what the last
    // Quit released.
    createSceneComponents(s.scene);
    if (!s.scene.settings || !module) return 1;
    s.configRead.clear();  // anything read before this start is older than the read below
    s.folders = findInstallFolders();

    s.scene.settings->reset();
    readSettings(s);
    layoutWindow(module->hostWindow);
    writeSettings(s);

    if (!openRenderWindow(module)) return 1;

    std::memcpy(s.frameWaveform, module->waveformData, sizeof s.frameWaveform);
    s.scene.waveform = s.frameWaveform;
    s.hostWindow = module->hostWindow;
    initScene(s.scene, sceneHost());
    return 0;
}

// Any thread: hosts call it from their audio thread as well. The frame itself is drawn when
// the window's own thread handles the repaint.
int render(VisModule*) {
    if (HWND window = pluginState().repaintTarget.load()) InvalidateRect(window, nullptr, FALSE);
    return 0;
}

// Also after a failed Init, without any Init, or once the host has destroyed the window.
void quit(VisModule* module) {
    PluginState& s = pluginState();
    s.scene.sceneReady = false;
    s.settingsSaver.finish();  // its thread must not outlive the library
    if (s.scene.settings && s.settingsRead) writeSettings(s);
    s.settingsRead = false;
    releaseSceneComponents(s.scene);
    closeRenderWindow(module);
}

}  // namespace

void releaseForLostWindow() {
    PluginState& s = pluginState();
    s.scene.sceneReady = false;
    // Everything that lives in the rendering context goes now; the settings record stays for
    // Quit to write.
    Settings* settings = std::exchange(s.scene.settings, nullptr);
    releaseSceneComponents(s.scene);
    s.scene.settings = settings;
    forgetLostRenderWindow();
}

extern "C" __declspec(dllexport) VisHeader* winampVisGetHeader() { return &header; }
