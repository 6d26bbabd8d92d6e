#include "plugin/TestHooks.h"

#ifdef VZRM_TEST_HOOKS

namespace {
int failingStep = 0;
}

bool failPoint(int initStep) { return initStep == failingStep; }

extern "C" __declspec(dllexport) void vzrmFailInitStep(int initStep) { failingStep = initStep; }

#endif
