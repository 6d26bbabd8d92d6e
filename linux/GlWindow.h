#pragma once
// The program's window and its OpenGL compatibility context (SDL2), full screen at the
// desktop's resolution and back, and showing each frame in step with the display.

#include <SDL.h>

#include "linux/Options.h"

class GlWindow {
public:
    GlWindow() = default;
    ~GlWindow();
    GlWindow(const GlWindow&) = delete;
    GlWindow& operator=(const GlWindow&) = delete;

    // Opens the window of the options' size (or full screen) with its context current, says
    // why not when it cannot.
    bool open(const Options& options);

    SDL_Window* window() const { return window_; }

    void toggleFullScreen();
    bool fullScreen() const { return fullScreen_; }

    // Shows the frame just drawn: in step with the display (waiting until it is out), paced
    // by the clock where the display cannot synchronise swaps, or at once when flat out.
    void present();

private:
    SDL_Window* window_ = nullptr;
    SDL_GLContext context_ = nullptr;
    bool sdl_ = false;
    bool fullScreen_ = false;
    bool flatOut_ = false;
    double pacing_ = 0;  // seconds a frame, when pacing by the clock
    double lastSwap_ = 0;
};
