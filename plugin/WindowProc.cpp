#include "plugin/WindowProc.h"

#include "plugin/Win32SceneHost.h"
#include "plugin/Launcher.h"
#include "plugin/PluginState.h"
#include "plugin/RenderWindow.h"
#include "plugin/VisModule.h"
#include "scene/WindowGeometry.h"
#include "scene/Scene.h"

namespace {

HWND hostWindowOf(HWND window) {
    auto* module = reinterpret_cast<VisModule*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    return module ? module->hostWindow : nullptr;
}

ScreenRect toScreenRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

void drag(HWND window, LPARAM cursor) {
    PluginState& s = pluginState();
    RECT host, own;
    GetWindowRect(hostWindowOf(window), &host);
    GetWindowRect(window, &own);
    WindowGeometry g = dragGeometry(
        static_cast<short>(LOWORD(cursor)), static_cast<short>(HIWORD(cursor)),
        static_cast<short>(LOWORD(s.dragAnchor)), static_cast<short>(HIWORD(s.dragAnchor)),
        toScreenRect(own), toScreenRect(host), toScreenRect(s.winampRect));
    Settings& settings = *s.scene.settings;
    settings.dimLeft = g.left;
    settings.dimTop = g.top;
    settings.dimWidth = g.width;
    settings.dimHeight = g.height;
    s.winampRect = host;
    MoveWindow(window, g.left, g.top, g.width, g.height, TRUE);
}

}  // namespace

LRESULT CALLBACK renderWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    PluginState& s = pluginState();
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_SIZE:
        PostMessageA(window, WM_PAINT, 0, 0);
        return 0;
    case WM_PAINT:
        renderFrame(s.scene, sceneHost());
        SwapBuffers(s.renderDc);
        ValidateRect(window, nullptr);
        return 0;
    case WM_CLOSE:
        PostQuitMessage(0);  // Quit destroys the window
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) {
            if (inFullScreen()) leaveFullScreen(hostWindowOf(window));
            else PostQuitMessage(0);
        }
        return 0;  // every other key is swallowed
    case WM_KEYUP:
        PostMessageA(hostWindowOf(window), WM_KEYUP, wParam, lParam);
        return 0;
    case WM_MOUSEMOVE:
        if ((wParam & MK_LBUTTON) && s.scene.settings && !inFullScreen()) drag(window, lParam);
        return 0;
    case WM_LBUTTONDOWN:
        SetCapture(window);
        s.dragAnchor = lParam;
        return 0;
    case WM_LBUTTONUP:
        if (GetCapture() == window) ReleaseCapture();
        return 0;
    case WM_RBUTTONDOWN:
        if (inFullScreen()) leaveFullScreen(hostWindowOf(window));
        launchConfigurator(window);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
