#include "plugin/WindowProc.h"

#include <cstring>

#include "plugin/Launcher.h"
#include "plugin/Lifecycle.h"
#include "plugin/PluginState.h"
#include "plugin/RenderWindow.h"
#include "plugin/TestHooks.h"
#include "plugin/VisModule.h"
#include "plugin/Win32SceneHost.h"
#include "scene/Scene.h"
#include "scene/WindowGeometry.h"
#include "settings/ChoiceKeys.h"

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

// What others handed over since the last frame, taken once as the frame begins on this thread:
// settings read by the configuration entry, and the host's waveform, which a host may go on
// writing from its own thread while the frame draws from this copy.
void beginFrame(PluginState& s, HWND window) {
    if (s.scene.settings) s.configRead.adoptInto(*s.scene.settings);
    auto* module = reinterpret_cast<VisModule*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (module) std::memcpy(s.frameWaveform, module->waveformData, sizeof s.frameWaveform);
}

// The keys the Linux program takes as well, on key-down: H the help, Right and Left the next
// and the previous look, A the look's mode of change, the letters of the choices (Shift:
// backwards).
// What they change goes to the settings file at once, which the next frame reads.
void applyKey(PluginState& s, WPARAM key) {
    if (!s.scene.settings || !s.scene.sceneReady) return;
    Settings& settings = *s.scene.settings;
    Win32SceneHost& host = sceneHost();
    if (key == 'H' || key == VK_F1) {
        const double now = steadySeconds();
        if (s.help.visible(now)) {
            s.help.hide();
        } else {
            s.help.show(helpLines("Vizorama - keys",
                                  {"H  this help", "ESC  stop, or leave full screen",
                                   "RIGHT CLICK  the configuration utility"},
                                  settings),
                        now, 8);
        }
    } else if (key == VK_RIGHT || key == VK_LEFT) {
        s.scene.looks.step(key == VK_RIGHT ? 1 : -1, settings, host);
    } else if (key == 'A') {
        s.scene.looks.stepMode(settings, host);
    } else if (key >= 'A' && key <= 'Z') {
        AssetNames names;
        if (key == 'B') names.skyboxes = host.folders().namesOf(AssetKind::Skybox);
        if (key == 'N') names.models = host.folders().namesOf(AssetKind::Model);
        if (applyChoiceKey(static_cast<char>(key), GetKeyState(VK_SHIFT) < 0, settings, names).empty())
            return;
        settings.lookName = "";  // the user's own settings now, no look of the library's
        host.saveSettings(settings, KeySet::LookAndName);
    }
}

}  // namespace

LRESULT CALLBACK renderWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    PluginState& s = pluginState();
    switch (message) {
    case WM_DESTROY:
        // Still ours while the plug-in has not closed it itself: the host is destroying it.
        if (window == s.renderWindow) releaseForLostWindow();
        PostQuitMessage(0);
        return 0;
    case WM_SIZE:
        PostMessageA(window, WM_PAINT, 0, 0);
        return 0;
    case WM_PAINT:
        beginFrame(s, window);
        renderFrame(s.scene, sceneHost());
        if (s.scene.settings) noteFrameSettings(*s.scene.settings);
        if (s.scene.sceneReady && s.help.visible(steadySeconds())) {
            RECT client;
            GetClientRect(window, &client);
            s.help.draw(client.right, client.bottom, steadySeconds());
        }
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
        } else if (!(lParam & 0x40000000)) {  // not a held key's repeat
            applyKey(s, wParam);
        }
        return 0;  // the press goes no further
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
