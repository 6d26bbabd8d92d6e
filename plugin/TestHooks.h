#pragma once
// Failure points for tests. The test build of the plug-in (VZRM_TEST_HOOKS) exports
// vzrmFailInitStep, with which a test makes one start-up step fail as if the system had
// refused it, and a few counters that tests read; in the shipped plug-in failPoint is always
// false and nothing is exported.

#include "settings/Settings.h"

#ifdef VZRM_TEST_HOOKS
bool failPoint(int initStep);
// How long to keep a loading picture on the screen, so a test can take its picture.
int loadingScreenHoldMs();
// Counts the plug-in's writes of the settings file.
void noteSettingsWrite();
// Checks the settings record a frame was drawn with (see TestHooks.cpp).
void noteFrameSettings(const Settings& settings);
#else
constexpr bool failPoint(int) { return false; }
constexpr int loadingScreenHoldMs() { return 0; }
inline void noteSettingsWrite() {}
inline void noteFrameSettings(const Settings&) {}
#endif
