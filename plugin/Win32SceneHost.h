#pragma once
// The scene's view of the render window: presenting, layout and the plug-in folder.

#include <windows.h>

#include "scene/SceneState.h"

class Win32SceneHost : public SceneHost {
public:
    void presentLoadingScreen() override;
    void layoutAndMoveWindow() override;
    std::string findPluginFolder() override;
    void showError(const char* text, const char* caption) override;
};

// The one instance the plug-in uses.
Win32SceneHost& sceneHost();
