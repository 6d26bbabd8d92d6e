#pragma once
// Failure points for tests. The test build of the plug-in (VZRM_TEST_HOOKS) exports
// vzrmFailInitStep, with which a test makes one start-up step fail as if the system had
// refused it; in the shipped plug-in failPoint is always false and nothing is exported.

#ifdef VZRM_TEST_HOOKS
bool failPoint(int initStep);
// How long to keep a loading picture on the screen, so a test can take its picture.
int loadingScreenHoldMs();
#else
constexpr bool failPoint(int) { return false; }
constexpr int loadingScreenHoldMs() { return 0; }
#endif
