#pragma once
// The Windows program's window: a normal, resizable top-level window with the plug-in's OpenGL
// context (platform/win32/GlContext.h), opened where the last run's was; full screen is the
// same window without its frame over the whole monitor it is on (or the one --display names),
// at the desktop's resolution, with no change of display mode, the cursor hidden and the
// display kept awake. Frames are shown in step with the display where the driver offers it,
// and never faster than the display's refresh rate.

#include <windows.h>

#include <vector>

#include "frontend/Options.h"
#include "frontend/WindowPlace.h"

// What the user did since the last pump().
struct WindowInput {
    struct Key {
        int code;  // a virtual-key code
        bool shift;
    };
    std::vector<Key> keys;
    bool closed = false;      // the close button, Alt+F4, the system's end of session
    bool rightClick = false;  // asks for the configuration utility
};

class ProgramWindow {
public:
    ProgramWindow() = default;
    ~ProgramWindow();
    ProgramWindow(const ProgramWindow&) = delete;
    ProgramWindow& operator=(const ProgramWindow&) = delete;

    // Opens the window with its context current: the options' size and full screen where they
    // name them, else the remembered ones, on a monitor (a place off every monitor is moved onto
    // one). 0 when open; else the exit code, with error set: 2 for a display the options name
    // that is not there, 1 when no window or context can be made.
    int open(const Options& options, const WindowPlace& remembered, std::string& error);

    HWND handle() const { return window_; }
    HDC dc() const { return dc_; }

    // Handles the waiting messages into input (keys, clicks, the close button).
    void pump(WindowInput& input);
    // Waits up to ms for a message (while minimised no frames are drawn).
    void waitForMessage(DWORD ms);

    void toggleFullScreen();
    bool fullScreen() const { return fullScreen_; }
    // Whether frames are to be drawn: not while minimised.
    bool shown() const;
    // The inside's size in pixels, and its pixels per point (the monitor's DPI over 96).
    int width() const;
    int height() const;
    float pixelRatio() const;
    // The size and place to remember: the window's own, also while it is full screen.
    WindowPlace place() const;
    // Shows the frame drawn (see the top of this file).
    void present();

    // Called by the window procedure.
    LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    // The monitors' rectangles (their work areas, or whole areas), the one for full screen or
    // the primary first.
    std::vector<Rect> monitors(bool whole) const;
    // The window's frame around an inside of width x height.
    RECT frameAround(int x, int y, int width, int height) const;
    void updateCursor();

    HWND window_ = nullptr;
    HDC dc_ = nullptr;
    HGLRC context_ = nullptr;
    bool classRegistered_ = false;
    bool fullScreen_ = false;
    int fullScreenMonitor_ = -1;  // --display's monitor, 0 the first; -1: the window's own
    WindowPlace windowed_;        // the window's place, out of full screen
    bool flatOut_ = false;
    double period_ = 1.0 / 60;    // seconds a refresh of the display
    double lastSwap_ = 0;
    double lastMotion_ = 0;
    LPARAM lastPointer_ = -1;  // where the pointer was last (in the window)
    WindowInput* input_ = nullptr;  // where pump() collects
    static constexpr double kCursorRest = 2;  // seconds without motion before the cursor hides
};

// The program's clock (QueryPerformanceCounter), in seconds.
double seconds();
