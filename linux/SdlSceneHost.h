#pragma once
// The scene's view of the Linux program's window: presenting the loading picture, the window's
// size as the scene's geometry, our assets' folder, and errors on the standard error.

#include <SDL.h>

#include <string>

#include "scene/SceneState.h"

class SdlSceneHost : public SceneHost {
public:
    SdlSceneHost(SDL_Window* window, SceneState& scene, std::string dataFolder)
        : window_(window), scene_(scene), dataFolder_(std::move(dataFolder)) {}

    void presentLoadingScreen() override;
    // The window fills the whole drawable: its size is the geometry the camera uses.
    void layoutAndMoveWindow() override;
    std::string findPluginFolder() override { return dataFolder_; }
    void showError(const char* text, const char* caption) override;

    int width() const { return width_; }
    int height() const { return height_; }
    int errorsShown = 0;

private:
    SDL_Window* window_;
    SceneState& scene_;
    std::string dataFolder_;
    int width_ = 0, height_ = 0;
};
