// The plug-in's export, its module record and the four entries the player calls.

#include <windows.h>

#include "plugin/Win32SceneHost.h"
#include "plugin/Launcher.h"
#include "plugin/PluginState.h"
#include "plugin/RenderWindow.h"
#include "plugin/VisModule.h"
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

void config(VisModule* module) { launchConfigurator(module ? module->hostWindow : nullptr); }

int init(VisModule* module) {
    PluginState& s = pluginState();
    // A player may stop and start the plug-in without reloading it: bring back what the last
    // Quit released.
    createSceneComponents(s.scene);
    if (!s.scene.settings) return 1;
    s.configRead.clear();  // anything read before this start is older than the read below

    s.scene.settings->reset();
    s.scene.settings->read(kSettingsFile, kSettingsSection);
    layoutWindow(module->hostWindow);
    s.scene.settings->write(kSettingsFile, kSettingsSection);

    if (!openRenderWindow(module)) return 1;

    s.scene.waveform = module->waveformData;
    s.scene.hostWindow = module->hostWindow;
    initScene(s.scene, sceneHost());
    return 0;
}

int render(VisModule*) {
    PluginState& s = pluginState();
    if (s.scene.settings) s.configRead.adoptInto(*s.scene.settings);
    if (s.renderWindow) InvalidateRect(s.renderWindow, nullptr, FALSE);
    return 0;
}

void quit(VisModule* module) {
    PluginState& s = pluginState();
    s.scene.sceneReady = false;
    if (s.scene.settings) s.scene.settings->write(kSettingsFile, kSettingsSection);
    releaseSceneComponents(s.scene);
    closeRenderWindow(module);
}

}  // namespace

extern "C" __declspec(dllexport) VisHeader* winampVisGetHeader() { return &header; }
