#pragma once
// The render window, its OpenGL context and the display modes.

#include <windows.h>

struct VisModule;

// Start-up of the window and context. Each failure shows its message, releases what exists
// and returns false.
bool openRenderWindow(VisModule* module);

// Releases the context, the window and its class, and restores the display mode.
void closeRenderWindow(VisModule* module);

// Releases the mode list, the rendering context and the window's device context.
void releaseRenderContext();

// The window is being destroyed by someone else (the host, with its own main window): releases
// the context while the window still exists and forgets the window. Quit then has no window to
// destroy but still unregisters the class and restores the display mode.
void forgetLostRenderWindow();

// Recomputes the geometry in the settings from dimResolution and the player's window, and
// switches to full screen when a full-screen resolution asks for it.
void layoutWindow(HWND hostWindow);

// Moves the render window to the geometry in the settings.
void moveRenderWindow();

// Enters the mode of the settings' geometry when dimResolution names a full-screen mode.
void enterFullScreenAtStartup();

// Leaves full screen: back to "1x1", laid out again, the stored display mode restored and the
// settings written at once (the next frame would read the full-screen value back otherwise).
void leaveFullScreen(HWND hostWindow);

// Switches back to the display mode stored in the system.
void restoreDisplayMode();

bool inFullScreen();
