#include "winapp/ProgramWindow.h"

#include <mmsystem.h>

#include <algorithm>

#include "platform/GlHeaders.h"
#include "platform/win32/GlContext.h"

namespace {

constexpr const char* kClass = "Vizorama program";
constexpr DWORD kWindowed = WS_OVERLAPPEDWINDOW;
constexpr DWORD kFullScreen = WS_POPUP;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<ProgramWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    return self ? self->handle(window, message, wParam, lParam) : DefWindowProcA(window, message, wParam, lParam);
}

struct MonitorList {
    std::vector<Rect> work, whole;
    int primary = 0;
};

BOOL CALLBACK addMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    auto& list = *reinterpret_cast<MonitorList*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info)) return TRUE;
    auto rect = [](const RECT& r) { return Rect{r.left, r.top, r.right - r.left, r.bottom - r.top}; };
    if (info.dwFlags & MONITORINFOF_PRIMARY) list.primary = static_cast<int>(list.work.size());
    list.work.push_back(rect(info.rcWork));
    list.whole.push_back(rect(info.rcMonitor));
    return TRUE;
}

MonitorList allMonitors() {
    MonitorList list;
    EnumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&list));
    return list;
}

// Pixels per point of a window: its monitor's DPI over 96 (asked where the system can tell).
float dpiScale(HWND window) {
    using GetDpi = UINT(WINAPI*)(HWND);
    static const auto getDpi = reinterpret_cast<GetDpi>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    const UINT dpi = getDpi && window ? getDpi(window) : 96;
    return dpi > 0 ? static_cast<float>(dpi) / 96.0f : 1.0f;
}

}  // namespace

double seconds() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / frequency;
}

ProgramWindow::~ProgramWindow() {
    if (context_) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(context_);
    }
    if (window_) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        if (dc_) ReleaseDC(window_, dc_);
        DestroyWindow(window_);
    }
    if (classRegistered_) UnregisterClassA(kClass, GetModuleHandleA(nullptr));
    if (fullScreen_) SetThreadExecutionState(ES_CONTINUOUS);
    timeEndPeriod(1);
}

std::vector<Rect> ProgramWindow::monitors(bool whole) const {
    const MonitorList list = allMonitors();
    std::vector<Rect> rects = whole ? list.whole : list.work;
    const int first = fullScreenMonitor_ >= 0 ? fullScreenMonitor_ : list.primary;
    if (first > 0 && first < static_cast<int>(rects.size())) std::rotate(rects.begin(), rects.begin() + first, rects.begin() + first + 1);
    return rects;
}

RECT ProgramWindow::frameAround(int x, int y, int width, int height) const {
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, kWindowed, FALSE, 0);
    return RECT{x, y, x + (r.right - r.left), y + (r.bottom - r.top)};
}

int ProgramWindow::open(const Options& options, const WindowPlace& remembered, std::string& error) {
    timeBeginPeriod(1);  // the pacing's sleeps to the millisecond
    const int count = static_cast<int>(allMonitors().work.size());
    if (options.display > 0 && options.display > count) {
        error = "--display " + std::to_string(options.display) + ": this desktop has " + std::to_string(count) +
                (count == 1 ? " display" : " displays");
        return 2;
    }
    fullScreenMonitor_ = options.display - 1;
    flatOut_ = options.flatOut;

    // The remembered window, with what the options name instead, on a monitor there is now.
    WindowPlace place = remembered;
    if (options.sizeGiven || !remembered.placed) {
        place.rect.width = options.width;
        place.rect.height = options.height;
    }
    place.fullScreen = options.fullScreen || remembered.fullScreen;
    place = placeOnDisplays(place, monitors(false));
    windowed_ = place;

    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.style = CS_OWNDC | CS_DBLCLKS;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = kClass;
    classRegistered_ = RegisterClassA(&wc) != 0;
    const RECT frame = frameAround(place.rect.x, place.rect.y, place.rect.width, place.rect.height);
    window_ = CreateWindowExA(0, kClass, "Vizorama", kWindowed, frame.left, frame.top, frame.right - frame.left,
                              frame.bottom - frame.top, nullptr, nullptr, instance, this);
    if (!window_) {
        error = "cannot open a window";
        return 1;
    }
    dc_ = GetDC(window_);
    PIXELFORMATDESCRIPTOR format;
    const GlContextStep failed = createGlContext(dc_, format, context_);
    if (failed != GlContextStep::None) {
        error = std::string("cannot open an OpenGL window: ") + glContextFailure(failed);
        for (char& c : error)
            if (c == '\n') c = ' ';
        return 1;
    }
    // In step with the display unless flat out; never faster than its refresh in any case.
    setSwapInterval(flatOut_ ? 0 : 1);
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    if (EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode) && mode.dmDisplayFrequency > 1)
        period_ = 1.0 / mode.dmDisplayFrequency;
    lastMotion_ = seconds();
    ShowWindow(window_, SW_SHOWNORMAL);
    if (place.fullScreen) toggleFullScreen();
    return 0;
}

void ProgramWindow::pump(WindowInput& input) {
    input_ = &input;
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) input.closed = true;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    input_ = nullptr;
    updateCursor();
}

void ProgramWindow::waitForMessage(DWORD ms) { MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT); }

bool ProgramWindow::shown() const { return window_ && !IsIconic(window_) && IsWindowVisible(window_); }

int ProgramWindow::width() const {
    RECT r{};
    GetClientRect(window_, &r);
    return r.right - r.left;
}

int ProgramWindow::height() const {
    RECT r{};
    GetClientRect(window_, &r);
    return r.bottom - r.top;
}

float ProgramWindow::pixelRatio() const { return dpiScale(window_); }

WindowPlace ProgramWindow::place() const {
    WindowPlace p = windowed_;
    if (!fullScreen_ && shown()) {
        RECT frame{};
        GetWindowRect(window_, &frame);
        p.rect = {frame.left, frame.top, width(), height()};
    }
    p.placed = true;
    p.fullScreen = fullScreen_;
    return p;
}

void ProgramWindow::toggleFullScreen() {
    if (!fullScreen_) {
        windowed_ = place();
        // Over the whole monitor the window is on (or the chosen one), at its resolution.
        RECT cover{};
        if (fullScreenMonitor_ >= 0) {
            const Rect m = monitors(true).front();
            cover = {m.x, m.y, m.x + m.width, m.y + m.height};
        } else {
            MONITORINFO info{};
            info.cbSize = sizeof info;
            GetMonitorInfoA(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &info);
            cover = info.rcMonitor;
        }
        fullScreen_ = true;
        SetWindowLongPtrA(window_, GWL_STYLE, kFullScreen | WS_VISIBLE);
        SetWindowPos(window_, HWND_TOP, cover.left, cover.top, cover.right - cover.left, cover.bottom - cover.top,
                     SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
        // No screen saver, no display going dark while the picture plays.
        SetThreadExecutionState(ES_CONTINUOUS | ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED);
    } else {
        fullScreen_ = false;
        SetWindowLongPtrA(window_, GWL_STYLE, kWindowed | WS_VISIBLE);
        const Rect& r = windowed_.rect;
        const RECT frame = frameAround(r.x, r.y, r.width, r.height);
        SetWindowPos(window_, HWND_NOTOPMOST, frame.left, frame.top, frame.right - frame.left,
                     frame.bottom - frame.top, SWP_FRAMECHANGED | SWP_NOOWNERZORDER);
        SetThreadExecutionState(ES_CONTINUOUS);
    }
    updateCursor();
}

void ProgramWindow::updateCursor() {
    POINT at{};
    if (!GetCursorPos(&at) || WindowFromPoint(at) != window_) return;
    const bool hide = fullScreen_ || seconds() - lastMotion_ >= kCursorRest;
    SetCursor(hide ? nullptr : LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
}

void ProgramWindow::present() {
    SwapBuffers(dc_);
    if (flatOut_) return;
    // A driver may queue frames ahead, each one more refresh between a sound and its picture:
    // wait until this one is out. Where swaps do not wait for the display, the clock paces.
    glFinish();
    const double next = lastSwap_ + period_, now = seconds();
    if (now < next) Sleep(static_cast<DWORD>((next - now) * 1000));
    lastSwap_ = now < next ? next : now;  // a late frame does not make the next ones hurry
}

LRESULT ProgramWindow::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!window_) window_ = window;  // the messages of its creation come before CreateWindowEx returns
    switch (message) {
        case WM_KEYDOWN:  // (Alt and its keys stay the system's: Alt+F4 closes, as everywhere)
            if (!(lParam & (1 << 30)) && input_)  // a key held down counts once
                input_->keys.push_back({static_cast<int>(wParam), GetKeyState(VK_SHIFT) < 0});
            return 0;
        case WM_CLOSE:
            if (input_) input_->closed = true;
            return 0;
        case WM_LBUTTONDBLCLK:
            toggleFullScreen();
            return 0;
        case WM_RBUTTONUP:
            if (input_) input_->rightClick = true;
            return 0;
        case WM_MOUSEMOVE:  // (some systems send one without a motion)
            if (lParam != lastPointer_) lastMotion_ = seconds();
            lastPointer_ = lParam;
            break;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT && (fullScreen_ || seconds() - lastMotion_ >= kCursorRest)) {
                SetCursor(nullptr);
                return TRUE;
            }
            break;
        case WM_SYSCOMMAND:
            if (fullScreen_ && ((wParam & 0xFFF0) == SC_SCREENSAVE || (wParam & 0xFFF0) == SC_MONITORPOWER)) return 0;
            break;
        case WM_DPICHANGED: {  // moved to a monitor of another scale: the size it suggests
            const RECT* r = reinterpret_cast<const RECT*>(lParam);
            if (!fullScreen_)
                SetWindowPos(window_, nullptr, r->left, r->top, r->right - r->left, r->bottom - r->top,
                             SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_MOVE:
        case WM_SIZE:
            if (!fullScreen_ && shown()) windowed_ = place();
            break;
        case WM_ERASEBKGND:
            return 1;  // the frames paint everything
        case WM_PAINT:
            ValidateRect(window_, nullptr);
            return 0;
        default:
            break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}
