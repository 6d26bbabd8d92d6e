#include "linux/GlWindow.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/GlHeaders.h"
#include "linux/Say.h"

GlWindow::~GlWindow() {
    if (context_) SDL_GL_DeleteContext(context_);
    if (window_) SDL_DestroyWindow(window_);
    if (sdl_) SDL_Quit();
}

int GlWindow::open(const Options& options, const WindowPlace& remembered) {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        say(std::string("cannot open a window: ") + SDL_GetError());
        return 1;
    }
    sdl_ = true;
    const int displays = SDL_GetNumVideoDisplays();
    if (options.display > 0 && options.display > displays) {
        say("--display " + std::to_string(options.display) + ": this desktop has " +
            std::to_string(displays) + (displays == 1 ? " display" : " displays"));
        return 2;
    }
    fullScreenDisplay_ = options.display - 1;

    // The remembered window, with what the options name instead, on a display that is there
    // now (the one for full screen first, where a window without a place is centred).
    WindowPlace place = remembered;
    if (options.sizeGiven || !remembered.placed) {
        place.rect.width = options.width;
        place.rect.height = options.height;
    }
    place.fullScreen = options.fullScreen || remembered.fullScreen;
    std::vector<Rect> bounds;
    for (int i = 0; i < displays; ++i) {
        SDL_Rect b{};
        if (SDL_GetDisplayBounds(i, &b) != 0) continue;
        const Rect r{b.x, b.y, b.w, b.h};
        if (i == std::max(fullScreenDisplay_, 0)) bounds.insert(bounds.begin(), r);
        else bounds.push_back(r);
    }
    place = placeOnDisplays(place, bounds);
    windowed_ = place.rect;
    fullScreen_ = place.fullScreen;
    // Full screen on a chosen display opens there; the window's own place waits for its return.
    movedForFullScreen_ = fullScreen_ && fullScreenDisplay_ >= 0;
    const int centred = static_cast<int>(movedForFullScreen_
                                             ? SDL_WINDOWPOS_CENTERED_DISPLAY(fullScreenDisplay_)
                                             : SDL_WINDOWPOS_CENTERED);
    const int x = movedForFullScreen_ || !place.placed ? centred : place.rect.x;
    const int y = movedForFullScreen_ || !place.placed ? centred : place.rect.y;

    // The scene draws with the fixed-function pipeline: a compatibility context.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    // On a HiDPI display the drawable has the display's own pixels (the window's size counts
    // points): the scene draws at the drawable's size, sharp rather than scaled up.
    window_ = SDL_CreateWindow("Vizorama", x, y, place.rect.width, place.rect.height,
                               SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI |
                                   (fullScreen_ ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0));
    context_ = window_ ? SDL_GL_CreateContext(window_) : nullptr;
    if (!context_) {
        say(std::string("cannot open an OpenGL window: ") + SDL_GetError());
        return 1;
    }
    lastMotion_ = seconds();  // the cursor shows at first, as after a motion
    updateCursor(lastMotion_);
    // In step with the display, unless drawing flat out (benchmarks). A display that cannot
    // synchronise swaps (a virtual one, say) gets frames paced to its refresh rate instead.
    flatOut_ = options.flatOut;
    if (SDL_GL_SetSwapInterval(flatOut_ ? 0 : 1) != 0 && !flatOut_) {
        SDL_DisplayMode mode{};
        const int index = SDL_GetWindowDisplayIndex(window_);
        const int rate = index >= 0 && SDL_GetCurrentDisplayMode(index, &mode) == 0 && mode.refresh_rate > 0
                             ? mode.refresh_rate
                             : 60;
        pacing_ = 1.0 / rate;
        say("the display offers no synchronised swaps; frames are paced to " + std::to_string(rate) +
            " a second");
    }
    return 0;
}

Rect GlWindow::current() {
    Rect r;
    SDL_GetWindowPosition(window_, &r.x, &r.y);
    SDL_GetWindowSize(window_, &r.width, &r.height);
    // A window manager puts a new window's frame where it was asked to, while SDL tells where
    // the inside is: the place is the frame's, or each run would open a title bar lower.
    int top = 0, left = 0;
    if (SDL_GetWindowBordersSize(window_, &top, &left, nullptr, nullptr) == 0) {
        frameLeft_ = left;
        frameTop_ = top;
    }
    r.x -= frameLeft_;
    r.y -= frameTop_;
    return r;
}

void GlWindow::toggleFullScreen() {
    fullScreen_ = !fullScreen_;
    if (fullScreen_) {
        windowed_ = current();
        // Full screen covers the display the window is on: move it to the chosen one first.
        movedForFullScreen_ =
            fullScreenDisplay_ >= 0 && SDL_GetWindowDisplayIndex(window_) != fullScreenDisplay_;
        if (movedForFullScreen_)
            SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED_DISPLAY(fullScreenDisplay_),
                                  SDL_WINDOWPOS_CENTERED_DISPLAY(fullScreenDisplay_));
        SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
    } else {
        SDL_SetWindowFullscreen(window_, 0);
        if (movedForFullScreen_) {
            SDL_SetWindowSize(window_, windowed_.width, windowed_.height);
            SDL_SetWindowPosition(window_, windowed_.x + frameLeft_, windowed_.y + frameTop_);
        }
        movedForFullScreen_ = false;
    }
    updateCursor(seconds());
}

bool GlWindow::shown() const {
    return !(SDL_GetWindowFlags(window_) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN));
}

void GlWindow::moved() {
    const Uint32 flags = SDL_GetWindowFlags(window_);
    if (!fullScreen_ && !(flags & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)))
        windowed_ = current();
}

WindowPlace GlWindow::place() {
    WindowPlace p;
    p.rect = fullScreen_ || !shown() ? windowed_ : current();
    p.placed = true;
    p.fullScreen = fullScreen_;
    return p;
}

void GlWindow::updateCursor(double now) {
    const bool show = !fullScreen_ && now - lastMotion_ < kCursorRest;
    if (show == cursorShown_) return;
    SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
    cursorShown_ = show;
}

void GlWindow::present() {
    SDL_GL_SwapWindow(window_);
    // In step with the display, a driver may queue frames ahead, each one more refresh
    // between a sound and its picture: wait until this one is out.
    if (!flatOut_ && pacing_ == 0) glFinish();
    if (pacing_ > 0) {
        const double next = lastSwap_ + pacing_, now = seconds();
        if (now < next) SDL_Delay(static_cast<Uint32>((next - now) * 1000));
        lastSwap_ = now < next ? next : now;  // a late frame does not make the next ones hurry
    }
}
