#pragma once
// Module-wide state of the plug-in: its components and what the render window needs.
// One instance, reached through pluginState(); touched only on the player's plug-in thread,
// except configRead, which the configuration entry may fill from any thread.

#include <windows.h>

#include <memory>
#include <string>

#include "settings/Settings.h"
#include "settings/SettingsMailbox.h"

struct PluginState {
    // Components, created at load in this order and released by Quit in reverse.
    Settings* settings = nullptr;

    HWND renderWindow = nullptr;
    HDC renderDc = nullptr;
    HGLRC renderContext = nullptr;
    // Requested pixel format, then the description of the one set (its colour depth is the
    // context's, which full-screen modes must match).
    PIXELFORMATDESCRIPTOR pixelFormat{};
    std::unique_ptr<DEVMODEA[]> displayModes;  // the primary display's modes
    int displayModeCount = 0;
    RECT winampRect{};  // the player's window as last seen
    LPARAM dragAnchor = 0;  // client position of the last left-button press
    bool sceneReady = false;
    std::string pluginFolder;

    // Settings read by the configuration entry, adopted by the plug-in thread.
    SettingsMailbox configRead;
};

PluginState& pluginState();

// Creates the components that do not exist (all of them at load; after a Quit, the ones it
// released). A component whose allocation fails stays null.
void createComponents();

// Releases and frees the components that exist, in reverse order of creation.
void releaseComponents();
