#pragma once
// The plug-in's start and stop, as far as others in the plug-in need them.

// The host destroyed the render window (with its own main window) before calling Quit:
// releases what needs the window and its rendering context while they still exist. Quit still
// writes the settings and releases the rest.
void releaseForLostWindow();
