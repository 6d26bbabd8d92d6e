#pragma once
// The scene's view of the Linux program's window: the program's host (see ProgramHost.h) with
// SDL's window presenting the loading picture and giving the drawable's size.

#include <SDL.h>

#include "frontend/ProgramHost.h"

class SdlSceneHost : public ProgramHost {
public:
    SdlSceneHost(SDL_Window* window, SceneState& scene, AssetFolders folders, SettingsStore& store)
        : ProgramHost(scene, std::move(folders), store), window_(window) {}

    void presentLoadingScreen() override;
    void layoutAndMoveWindow() override;

private:
    SDL_Window* window_;
};
