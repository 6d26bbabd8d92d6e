#include "linux/SdlSceneHost.h"

#include <cstdio>

#include "linux/Say.h"
#include "linux/WindowPlace.h"

void SdlSceneHost::presentLoadingScreen() { SDL_GL_SwapWindow(window_); }

void SdlSceneHost::layoutAndMoveWindow() {
    SDL_GL_GetDrawableSize(window_, &width_, &height_);
    int points = 0, unused = 0;
    SDL_GetWindowSize(window_, &points, &unused);
    pixelRatio_ = ::pixelRatio(points, width_);
    if (!scene_.settings) return;
    Settings& s = *scene_.settings;
    s.dimLeft = 0;
    s.dimTop = 0;
    s.dimWidth = width_;
    s.dimHeight = height_;
}

void SdlSceneHost::showError(const char* text, const char* caption) {
    std::string line = std::string(caption ? caption : "Error") + ": " + (text ? text : "");
    std::fprintf(stderr, "vizorama: %s\n", line.c_str());
    // A message of two lines (a failure and its reason) stays one line in the window.
    for (char& c : line)
        if (c == '\n') c = ' ';
    errorLines_.push_back(line);
}

void SdlSceneHost::tell(const std::string& text) {
    if (text.empty()) return;
    say(text);
    // In the window a line a clause ("cannot read ...", "settings changed now last ..."): short
    // enough for larger text, and the font has no semicolon.
    size_t from = 0;
    for (size_t at; (at = text.find("; ", from)) != std::string::npos; from = at + 2)
        errorLines_.push_back(text.substr(from, at - from));
    errorLines_.push_back(text.substr(from));
}
