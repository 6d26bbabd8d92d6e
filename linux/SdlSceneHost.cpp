#include "linux/SdlSceneHost.h"

#include <cstdio>

void SdlSceneHost::presentLoadingScreen() { SDL_GL_SwapWindow(window_); }

void SdlSceneHost::layoutAndMoveWindow() {
    SDL_GL_GetDrawableSize(window_, &width_, &height_);
    if (!scene_.settings) return;
    Settings& s = *scene_.settings;
    s.dimLeft = 0;
    s.dimTop = 0;
    s.dimWidth = width_;
    s.dimHeight = height_;
}

void SdlSceneHost::showError(const char* text, const char* caption) {
    ++errorsShown;
    std::fprintf(stderr, "vizorama: %s: %s\n", caption ? caption : "Error", text ? text : "");
}
