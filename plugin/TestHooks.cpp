#include "plugin/TestHooks.h"

#ifdef VZRM_TEST_HOOKS

#include "plugin/PluginState.h"

namespace {
int failingStep = 0;
int holdMs = 0;
}  // namespace

bool failPoint(int initStep) { return initStep == failingStep; }

int loadingScreenHoldMs() { return holdMs; }

extern "C" __declspec(dllexport) void vzrmHoldLoadingScreen(int ms) { holdMs = ms; }

extern "C" __declspec(dllexport) void vzrmFailInitStep(int initStep) { failingStep = initStep; }

extern "C" __declspec(dllexport) int vzrmTextureSetLoads() {
    return pluginState().scene.textureSetLoads;
}

#endif
