#pragma once
// The scene's view of the Windows program's window: the program's host (see ProgramHost.h)
// with the window presenting the loading picture and giving its inside's size.

#include "frontend/ProgramHost.h"
#include "winapp/ProgramWindow.h"

class WinSceneHost : public ProgramHost {
public:
    WinSceneHost(ProgramWindow& window, SceneState& scene, AssetFolders folders, SettingsStore& store)
        : ProgramHost(scene, std::move(folders), store), window_(window) {}

    void presentLoadingScreen() override { SwapBuffers(window_.dc()); }
    void layoutAndMoveWindow() override { setDrawable(window_.width(), window_.height(), window_.pixelRatio()); }

private:
    ProgramWindow& window_;
};
