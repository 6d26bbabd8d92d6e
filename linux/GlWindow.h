#pragma once
// The program's window and its OpenGL compatibility context (SDL2), full screen at the
// desktop's resolution (on the display the options choose) and back, drawn at the drawable's
// full resolution on HiDPI displays, and showing each frame in step with the display. It opens
// where the last run's window was, and hides the cursor in full screen, and in a window once
// the pointer has rested for a while.

#include <SDL.h>

#include "frontend/Options.h"
#include "frontend/WindowPlace.h"

class GlWindow {
public:
    GlWindow() = default;
    ~GlWindow();
    GlWindow(const GlWindow&) = delete;
    GlWindow& operator=(const GlWindow&) = delete;

    // Opens the window with its context current: the options' size and full screen where they
    // name them, else the remembered ones, on a display (a place off every display is moved
    // onto one). 0 when open; else the program's exit code, said why: 2 for a display the
    // options name that is not there, 1 when no window can be opened.
    int open(const Options& options, const WindowPlace& remembered);

    SDL_Window* window() const { return window_; }

    void toggleFullScreen();
    bool fullScreen() const { return fullScreen_; }
    // Whether the window can be seen (neither minimised nor hidden): frames are drawn only then.
    bool shown() const;
    // The size and place to remember for the next run: the window's own, also while it is full
    // screen (where it goes back to).
    WindowPlace place();

    // Takes up a change of the window's size or place (SDL_WINDOWEVENT_MOVED, _SIZE_CHANGED).
    void moved();
    // The pointer moved at now (seconds); shows or hides the cursor for the time now.
    void pointerMoved(double now) { lastMotion_ = now; }
    void updateCursor(double now);

    // Shows the frame just drawn: in step with the display (waiting until it is out), paced
    // by the clock where the display cannot synchronise swaps, or at once when flat out.
    void present();

private:
    // The window's size, and its place as its frame's top left corner (where a window manager
    // puts a new window); the frame's size is kept from the last time it was known.
    Rect current();

    static constexpr double kCursorRest = 2;  // seconds without motion before the cursor hides
    SDL_Window* window_ = nullptr;
    SDL_GLContext context_ = nullptr;
    bool sdl_ = false;
    bool fullScreen_ = false;
    int fullScreenDisplay_ = -1;   // SDL's index of the display for full screen; -1: the window's
    bool movedForFullScreen_ = false;  // moved to that display: put back on leaving full screen
    Rect windowed_;                // the window's own size and place, out of full screen
    int frameLeft_ = 0, frameTop_ = 0;  // the window manager's frame left of and above the inside
    bool flatOut_ = false;
    double pacing_ = 0;  // seconds a frame, when pacing by the clock
    double lastSwap_ = 0;
    double lastMotion_ = 0;
    bool cursorShown_ = true;
};
