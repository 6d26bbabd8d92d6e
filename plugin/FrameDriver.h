#pragma once

#include <windows.h>

// One frame in the render window (the buffers are swapped by the caller). Nothing is drawn
// until the scene is ready.
void drawFrame(HWND hostWindow);
