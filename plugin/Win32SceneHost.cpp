#include "plugin/Win32SceneHost.h"

#include "plugin/Folders.h"
#include "plugin/PluginState.h"
#include "plugin/RenderWindow.h"
#include "plugin/TestHooks.h"
#include "plugin/VisModule.h"

void Win32SceneHost::presentLoadingScreen() {
    PluginState& s = pluginState();
    SwapBuffers(s.renderDc);
    ValidateRect(s.renderWindow, nullptr);
    if (int ms = loadingScreenHoldMs()) Sleep(static_cast<DWORD>(ms));
}

void Win32SceneHost::layoutAndMoveWindow() {
    PluginState& s = pluginState();
    auto* module = reinterpret_cast<VisModule*>(GetWindowLongPtrA(s.renderWindow, GWLP_USERDATA));
    if (!module) return;
    layoutWindow(module->hostWindow);
    moveRenderWindow();
}

std::string Win32SceneHost::findPluginFolder() { return ::findPluginFolder(); }

void Win32SceneHost::showError(const char* text, const char* caption) {
    MessageBoxA(nullptr, text, caption, MB_OK);
}

Win32SceneHost& sceneHost() {
    static Win32SceneHost host;
    return host;
}
