#pragma once
// The scene's view of the render window: presenting, layout, the plug-in's folders and errors.

#include <windows.h>

#include "scene/SceneState.h"

class Win32SceneHost : public SceneHost {
public:
    // The settings file again, every frame: the utility may have changed it.
    void refreshSettings(Settings& settings) override;
    void presentLoadingScreen() override;
    void layoutAndMoveWindow() override;
    std::string findPluginFolder() override;
    // Below the plug-in folder only: the player has no folders of the user's own; the user's
    // looks are kept in "Looks\Mine\", which our installs never touch.
    std::string assetFolder(AssetKind kind, const std::string& name) override;
    AssetFolders folders() const;
    // To the settings file found at the start.
    bool saveSettings(Settings& settings, KeySet keys) override;
    void showError(const char* text, const char* caption) override;
    // A GDI copy of the player's main window.
    std::unique_ptr<platform::LivePicture> openLivePicture() override;
};

// The one instance the plug-in uses.
Win32SceneHost& sceneHost();
