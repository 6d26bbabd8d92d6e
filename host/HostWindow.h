#pragma once
// The host's main window: the player's 275 x 116 (or double-size 550 x 232) window that the
// plug-in docks into, snaps to, captures and forwards key releases to.

#include <windows.h>

#include <atomic>

inline constexpr int kHostWidth = 275;
inline constexpr int kHostHeight = 116;

// Posted by the visualisation thread when it has finished; the window then ends the host.
inline constexpr UINT kVisFinishedMessage = WM_APP + 1;

HWND createHostWindow(int x, int y, bool doubleSize);

// Closing the window (by the user) sets this flag, asking the visualisation thread to stop.
void setHostWindowCloseFlag(HWND window, std::atomic<bool>* flag);
