#pragma once
// Module-wide state of the plug-in: its components and what the render window needs.
// One instance, reached through pluginState(); touched only on the player's plug-in thread,
// except configRead, which the configuration entry may fill from any thread.

#include <windows.h>

#include <memory>
#include <string>

#include "scene/SceneState.h"
#include "settings/SettingsMailbox.h"

struct PluginState {
    // The components and the running scene.
    SceneState scene;

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

    // Settings read by the configuration entry, adopted by the plug-in thread.
    SettingsMailbox configRead;
};

PluginState& pluginState();
