#pragma once

#include <windows.h>

// The render window's message handler: paints frames, drags the window, leaves full screen or
// stops on Escape, forwards key releases to the player and opens the configuration on a right
// click.
LRESULT CALLBACK renderWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
