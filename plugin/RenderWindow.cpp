#include "plugin/RenderWindow.h"

#include <GL/gl.h>

#include <new>
#include <vector>

#include "plugin/PluginState.h"
#include "plugin/TestHooks.h"
#include "plugin/VisModule.h"
#include "scene/WindowGeometry.h"
#include "plugin/WindowProc.h"
#include "platform/win32/GlContext.h"

namespace {

constexpr const char* kWindowClass = "Vizorama";
constexpr DWORD kExStyle = WS_EX_APPWINDOW | WS_EX_TOOLWINDOW;
constexpr DWORD kStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_MAXIMIZE;

void showError(HWND owner, const char* text, const char* caption) {
    MessageBoxA(owner, text, caption, MB_OK);
}

// Destroys the render window. The handle leaves the state first, so that the window's destroy
// handling knows the plug-in itself closes it.
void destroyRenderWindow(PluginState& s) {
    HWND window = s.renderWindow;
    s.renderWindow = nullptr;
    s.repaintTarget = nullptr;
    if (window) DestroyWindow(window);
}

// What start-up failures after the window exists release, in this order.
void releaseWindow(PluginState& s, HINSTANCE instance) {
    ReleaseDC(s.renderWindow, s.renderDc);
    s.renderDc = nullptr;
    destroyRenderWindow(s);
    UnregisterClassA(kWindowClass, instance);
}

bool buildDisplayModes(PluginState& s) {
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    int count = 0;
    while (EnumDisplaySettingsA(nullptr, static_cast<DWORD>(count), &mode)) ++count;
    if (failPoint(11)) return false;
    s.displayModes.reset(new (std::nothrow) DEVMODEA[count > 0 ? count : 1]);
    if (!s.displayModes) return false;
    int filled = 0;
    for (; filled < count; ++filled) {
        DEVMODEA& m = s.displayModes[filled];
        m = DEVMODEA{};
        m.dmSize = sizeof m;
        if (!EnumDisplaySettingsA(nullptr, static_cast<DWORD>(filled), &m)) break;
    }
    s.displayModeCount = filled;
    return true;
}

// The test hooks' failure points of the context's steps.
bool failContextStep(GlContextStep step) {
    switch (step) {
        case GlContextStep::ChoosePixelFormat: return failPoint(8);
        case GlContextStep::SetPixelFormat: return failPoint(9);
        case GlContextStep::MakeCurrent: return failPoint(10);
        default: return false;
    }
}

// Index of the display mode to use for a full-screen size, or -1.
int findDisplayMode(int width, int height) {
    PluginState& s = pluginState();
    std::vector<DisplayMode> modes(static_cast<size_t>(s.displayModeCount));
    for (int i = 0; i < s.displayModeCount; ++i) {
        const DEVMODEA& m = s.displayModes[i];
        modes[i] = {static_cast<int>(m.dmPelsWidth), static_cast<int>(m.dmPelsHeight),
                    static_cast<int>(m.dmBitsPerPel)};
    }
    return chooseDisplayMode(modes, width, height, s.pixelFormat.cColorBits, [&](int i) {
        return ChangeDisplaySettingsA(&s.displayModes[i], CDS_TEST) == DISP_CHANGE_SUCCESSFUL;
    });
}

// Covers the screen with the render window in display mode index.
void useDisplayMode(int index) {
    PluginState& s = pluginState();
    DEVMODEA& mode = s.displayModes[index];
    Settings& settings = *s.scene.settings;
    settings.dimLeft = 0;
    settings.dimTop = 0;
    settings.dimWidth = static_cast<int>(mode.dmPelsWidth);
    settings.dimHeight = static_cast<int>(mode.dmPelsHeight);
    SetWindowPos(s.renderWindow, HWND_TOPMOST, 0, 0, settings.dimWidth, settings.dimHeight,
                 SWP_SHOWWINDOW);
    ChangeDisplaySettingsA(&mode, 0);
}

void switchFullScreen(int width, int height) {
    PluginState& s = pluginState();
    if (!s.displayModes) return;  // the first layout in Init: full screen comes later
    int index = findDisplayMode(width, height);
    if (index >= 0) useDisplayMode(index);
}

}  // namespace

bool openRenderWindow(VisModule* module) {
    PluginState& s = pluginState();
    Settings& settings = *s.scene.settings;
    HWND host = module->hostWindow;

    WNDCLASSA wc = {};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = renderWindowProc;
    wc.hInstance = module->instance;
    wc.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_WINLOGO));
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = kWindowClass;
    if (failPoint(4) || !RegisterClassA(&wc)) {
        showError(host, "Could not register window class!", "Error!");
        return false;
    }

    s.renderWindow =
        failPoint(5) ? nullptr
                     : CreateWindowExA(kExStyle, kWindowClass, module->description, kStyle,
                                       settings.dimLeft, settings.dimTop, settings.dimWidth,
                                       settings.dimHeight, host, nullptr, module->instance,
                                       nullptr);
    if (!s.renderWindow) {
        showError(host, "Could not create window!", "Error!");
        UnregisterClassA(kWindowClass, module->instance);
        return false;
    }
    SetWindowLongPtrA(s.renderWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(module));
    SetWindowPos(s.renderWindow, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);

    s.renderDc = GetDC(s.renderWindow);
    const GlContextStep failed =
        createGlContext(s.renderDc, s.pixelFormat, s.renderContext, failContextStep);
    if (failed != GlContextStep::None) {
        showError(nullptr, glContextFailure(failed), "Error");
        releaseWindow(s, module->instance);
        return false;
    }

    if (!buildDisplayModes(s)) {
        showError(nullptr, "malloc() failed!\nCan't allocate memory.", "Error");
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(s.renderContext);
        s.renderContext = nullptr;
        releaseWindow(s, module->instance);
        return false;
    }

    s.repaintTarget = s.renderWindow;
    ShowWindow(s.renderWindow, SW_SHOWNORMAL);
    UpdateWindow(s.renderWindow);
    if (settings.dimResolution.value().fullScreen()) enterFullScreenAtStartup();
    layoutWindow(host);
    return true;
}

void releaseRenderContext() {
    PluginState& s = pluginState();
    if (s.renderContext) glFlush();
    s.displayModes.reset();
    s.displayModeCount = 0;
    wglMakeCurrent(nullptr, nullptr);
    if (s.renderContext) wglDeleteContext(s.renderContext);
    s.renderContext = nullptr;
    if (s.renderWindow && s.renderDc) ReleaseDC(s.renderWindow, s.renderDc);
    s.renderDc = nullptr;
}

void closeRenderWindow(VisModule* module) {
    PluginState& s = pluginState();
    releaseRenderContext();
    destroyRenderWindow(s);
    UnregisterClassA(kWindowClass, module ? module->instance : nullptr);
    restoreDisplayMode();
}

void forgetLostRenderWindow() {
    PluginState& s = pluginState();
    releaseRenderContext();
    s.renderWindow = nullptr;
    s.repaintTarget = nullptr;
    // No window covers the screen any more: give the desktop its mode back now.
    if (inFullScreen()) restoreDisplayMode();
}

void layoutWindow(HWND hostWindow) {
    PluginState& s = pluginState();
    Settings& settings = *s.scene.settings;
    GetWindowRect(hostWindow, &s.winampRect);
    ScreenRect host{s.winampRect.left, s.winampRect.top, s.winampRect.right, s.winampRect.bottom};
    LayoutResult r =
        layoutGeometry(settings.dimResolution.value(), host,
                       {settings.dimLeft, settings.dimTop, settings.dimWidth, settings.dimHeight});
    settings.dimLeft = r.geometry.left;
    settings.dimTop = r.geometry.top;
    settings.dimWidth = r.geometry.width;
    settings.dimHeight = r.geometry.height;
    if (r.switchFullScreen) switchFullScreen(r.fullScreenWidth, r.fullScreenHeight);
}

void moveRenderWindow() {
    PluginState& s = pluginState();
    const Settings& g = *s.scene.settings;
    RECT now;
    GetWindowRect(s.renderWindow, &now);
    if (now.left != g.dimLeft || now.top != g.dimTop || now.right - now.left != g.dimWidth ||
        now.bottom - now.top != g.dimHeight)
        MoveWindow(s.renderWindow, g.dimLeft, g.dimTop, g.dimWidth, g.dimHeight, TRUE);
}

void enterFullScreenAtStartup() {
    PluginState& s = pluginState();
    Settings& settings = *s.scene.settings;
    int index = findDisplayMode(settings.dimWidth, settings.dimHeight);
    if (index < 0) return;  // the first frame's layout asks with the resolution's own size
    useDisplayMode(index);
    SetCursorPos(settings.dimLeft + settings.dimWidth, settings.dimTop + settings.dimHeight);
}

void leaveFullScreen(HWND hostWindow) {
    PluginState& s = pluginState();
    s.scene.settings->dimResolution = "1x1";
    layoutWindow(hostWindow);
    restoreDisplayMode();
    writeSettings(s);
}

namespace {

// Whether the display runs in another mode than the one stored in the system settings (or
// either cannot be told).
bool displayLeftStoredMode() {
    DEVMODEA current{}, stored{};
    current.dmSize = stored.dmSize = sizeof current;
    if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &current) ||
        !EnumDisplaySettingsA(nullptr, ENUM_REGISTRY_SETTINGS, &stored))
        return true;
    return current.dmPelsWidth != stored.dmPelsWidth ||
           current.dmPelsHeight != stored.dmPelsHeight ||
           current.dmBitsPerPel != stored.dmBitsPerPel ||
           current.dmDisplayFrequency != stored.dmDisplayFrequency;
}

}  // namespace

// Switching to the stored mode while the display already runs in it changes nothing, and Wine
// leaks three registry handles on each such switch: a player that stops and starts the plug-in
// all day would pile them up. So switch only when the mode differs.
void restoreDisplayMode() {
    if (displayLeftStoredMode()) ChangeDisplaySettingsA(nullptr, 0);
}

bool inFullScreen() {
    PluginState& s = pluginState();
    return s.scene.settings && s.scene.settings->dimResolution.value().fullScreen();
}
