#include "linux/SdlSceneHost.h"

#include "frontend/WindowPlace.h"

void SdlSceneHost::presentLoadingScreen() { SDL_GL_SwapWindow(window_); }

void SdlSceneHost::layoutAndMoveWindow() {
    int width = 0, height = 0, points = 0, unused = 0;
    SDL_GL_GetDrawableSize(window_, &width, &height);
    SDL_GetWindowSize(window_, &points, &unused);
    setDrawable(width, height, ::pixelRatio(points, width));
}
