#include "plugin/TestHooks.h"

#ifdef VZRM_TEST_HOOKS

#include <string>

#include "plugin/PluginState.h"

namespace {
int failingStep = 0;
int holdMs = 0;
int settingsWrites = 0;
// Frames drawn, frames whose record mixed versions, and versions seen (see below).
int framesChecked = 0;
int mixedFrames = 0;
int versionsSeen = 0;
uint32_t lastVersion = 0;
}  // namespace

bool failPoint(int initStep) { return initStep == failingStep; }

int loadingScreenHoldMs() { return holdMs; }

void noteSettingsWrite() { ++settingsWrites; }

// A writer that replaces the settings file under a running plug-in (the host's settings
// writer) gives the four light colours the same value, its version number, in every version it
// writes. A frame whose record holds different colours therefore read parts of two versions;
// a frame whose colour differs from the frame before saw a new version.
void noteFrameSettings(const Settings& settings) {
    ++framesChecked;
    const uint32_t version = settings.lhtAmbient;
    if (settings.lhtDiffuse != version || settings.lhtSpecularLeft != version ||
        settings.lhtSpecularRight != version)
        ++mixedFrames;
    if (version != lastVersion) ++versionsSeen;
    lastVersion = version;
}

extern "C" __declspec(dllexport) int vzrmFramesChecked() { return framesChecked; }

extern "C" __declspec(dllexport) int vzrmMixedSettingsFrames() { return mixedFrames; }

extern "C" __declspec(dllexport) int vzrmSettingsVersionsSeen() { return versionsSeen; }

extern "C" __declspec(dllexport) int vzrmSettingsWrites() { return settingsWrites; }

extern "C" __declspec(dllexport) void vzrmHoldLoadingScreen(int ms) { holdMs = ms; }

extern "C" __declspec(dllexport) void vzrmFailInitStep(int initStep) { failingStep = initStep; }

extern "C" __declspec(dllexport) int vzrmTextureSetLoads() {
    return pluginState().scene.textureSetLoads;
}

// How many textures made from files the plug-in holds now.
extern "C" __declspec(dllexport) int vzrmTexturesHeld() {
    const TextureLoader* loader = pluginState().scene.textureLoader;
    return loader ? static_cast<int>(loader->registeredTextures().size()) : 0;
}

// The model the frames draw, by name: the one loaded, when models are on and it loaded objects;
// empty otherwise.
extern "C" __declspec(dllexport) const char* vzrmShownModel() {
    static std::string name;
    const SceneState& scene = pluginState().scene;
    const bool shown = scene.settings && scene.settings->mdlOnOff && scene.model &&
                       scene.modelScene && !scene.modelScene->objects.empty() &&
                       !scene.model->loadedName.differsFrom(scene.settings->mdlName);
    name = shown ? scene.model->loadedName.text() : std::string();
    return name.c_str();
}

// The sky the frames draw, by name; empty when none is.
extern "C" __declspec(dllexport) const char* vzrmShownSky() {
    static std::string name;
    const SceneState& scene = pluginState().scene;
    const bool shown = scene.skybox && scene.skybox->showsCurrentName() && scene.skybox->upperList;
    name = shown ? scene.skybox->loadedName.text() : std::string();
    return name.c_str();
}

namespace {
int lookClockPercent = 100;
double fasterLookClock() { return steadySeconds() * lookClockPercent / 100.0; }
}  // namespace

// Runs the looks' timer this many percent as fast as the wall clock, so that a benchmark sees
// many automatic changes in a minute (the settings' shortest interval is five seconds).
extern "C" __declspec(dllexport) void vzrmLookClockPercent(int percent) {
    lookClockPercent = percent;
    pluginState().scene.looks.setClock(fasterLookClock);
}

// How many times the look changed, by the timer, a beat or a key, since the plug-in was loaded.
extern "C" __declspec(dllexport) int vzrmLookChanges() { return pluginState().scene.looks.changes(); }

#endif
