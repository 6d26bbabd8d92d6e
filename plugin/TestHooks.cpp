#include "plugin/TestHooks.h"

#ifdef VZRM_TEST_HOOKS

#include "plugin/PluginState.h"

namespace {
int failingStep = 0;
int holdMs = 0;
int settingsWrites = 0;
}  // namespace

bool failPoint(int initStep) { return initStep == failingStep; }

int loadingScreenHoldMs() { return holdMs; }

void noteSettingsWrite() { ++settingsWrites; }

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

#endif
