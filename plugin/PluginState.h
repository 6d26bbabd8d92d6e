#pragma once
// Module-wide state of the plug-in: its components and what the render window needs.
// One instance, reached through pluginState(). Everything here belongs to the render window's
// thread, except what is marked as reachable from any thread: a host may call Render from a
// thread of its own (its audio thread, say) and Config from yet another.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "plugin/Folders.h"
#include "scene/SceneState.h"
#include "settings/SettingsMailbox.h"
#include "settings/SettingsSaver.h"

struct PluginState {
    // The components and the running scene.
    SceneState scene;

    HWND hostWindow = nullptr;  // the player's main window, whose copy the model can wear
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
    Overlay help;  // what H shows: the keys, the look and the choices

    // The folders found at the start: assets, settings file and utility.
    InstallFolders folders;
    // The buffers every frame's read of the settings file reuses.
    SettingsReadCache settingsCache;
    // Writes a change of look to the settings file off the drawing thread; the plug-in's own
    // writes of the record wait for it first.
    SettingsSaver settingsSaver;
    // Whether this start has read the settings file: only then does Quit write the record back
    // (a Quit without any start must not replace the user's file with defaults).
    bool settingsRead = false;

    // The host's waveform as it was when the frame began: the host may write its own buffer
    // from another thread while a frame is drawn, so the scene reads this copy.
    uint8_t frameWaveform[2][kWaveformSamples] = {};

    // Any thread: the window Render asks to repaint, null while there is none.
    std::atomic<HWND> repaintTarget{nullptr};
    // Any thread: settings read by the configuration entry, adopted at the next frame.
    SettingsMailbox configRead;
};

PluginState& pluginState();

// The settings record and the file found at the start, read or written (render window's thread).
void readSettings(PluginState& s);
void writeSettings(PluginState& s);
