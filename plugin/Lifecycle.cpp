// The plug-in's export, its module record and the four entries the player calls.

#include <windows.h>

#include "plugin/Folders.h"
#include "plugin/Launcher.h"
#include "plugin/PluginState.h"
#include "plugin/RenderWindow.h"
#include "plugin/VisModule.h"

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
    CreateAtLoad() { createComponents(); }
} createAtLoad;

void config(VisModule* module) { launchConfigurator(module ? module->hostWindow : nullptr); }

int init(VisModule* module) {
    PluginState& s = pluginState();
    // A player may stop and start the plug-in without reloading it: bring back what the last
    // Quit released.
    createComponents();
    if (!s.settings) return 1;
    s.configRead.clear();  // anything read before this start is older than the read below

    s.settings->reset();
    s.settings->read(kSettingsFile, kSettingsSection);
    layoutWindow(module->hostWindow);
    s.settings->write(kSettingsFile, kSettingsSection);

    if (!openRenderWindow(module)) return 1;

    s.pluginFolder = findPluginFolder();
    s.sceneReady = true;
    return 0;
}

int render(VisModule*) {
    PluginState& s = pluginState();
    if (s.settings) s.configRead.adoptInto(*s.settings);
    if (s.renderWindow) InvalidateRect(s.renderWindow, nullptr, FALSE);
    return 0;
}

void quit(VisModule* module) {
    PluginState& s = pluginState();
    s.sceneReady = false;
    if (s.settings) s.settings->write(kSettingsFile, kSettingsSection);
    releaseComponents();
    closeRenderWindow(module);
}

}  // namespace

extern "C" __declspec(dllexport) VisHeader* winampVisGetHeader() { return &header; }
