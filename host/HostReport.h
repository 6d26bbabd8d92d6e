#pragma once
// What the host can tell about the plug-in it runs, for tests and for looking at it.

#include <windows.h>

#include <string>

// Prints every top-level window of the current thread: class, title, rectangle, styles, owner.
void reportThreadWindows(HWND hostWindow);

// Prints whether a window class is registered for the plug-in's instance.
void reportClass(HINSTANCE instance, const std::string& name);
