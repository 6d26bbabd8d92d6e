#include "linux/GlWindow.h"

#include <string>

#include "platform/GlHeaders.h"
#include "linux/Say.h"

GlWindow::~GlWindow() {
    if (context_) SDL_GL_DeleteContext(context_);
    if (window_) SDL_DestroyWindow(window_);
    if (sdl_) SDL_Quit();
}

bool GlWindow::open(const Options& options) {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        say(std::string("cannot open a window: ") + SDL_GetError());
        return false;
    }
    sdl_ = true;
    // The scene draws with the fixed-function pipeline: a compatibility context.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    fullScreen_ = options.fullScreen;
    window_ = SDL_CreateWindow("Vizorama", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                               options.width, options.height,
                               SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE |
                                   (fullScreen_ ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0));
    context_ = window_ ? SDL_GL_CreateContext(window_) : nullptr;
    if (!context_) {
        say(std::string("cannot open an OpenGL window: ") + SDL_GetError());
        return false;
    }
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
    return true;
}

void GlWindow::toggleFullScreen() {
    fullScreen_ = !fullScreen_;
    SDL_SetWindowFullscreen(window_, fullScreen_ ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
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
