#include "plugin/Win32SceneHost.h"

#include <new>

#include "platform/win32/WindowCapture.h"
#include "plugin/Folders.h"
#include "plugin/PluginState.h"
#include "plugin/RenderWindow.h"
#include "plugin/TestHooks.h"
#include "plugin/VisModule.h"

void Win32SceneHost::refreshSettings(Settings& settings) {
    PluginState& s = pluginState();
    // Until a change of look has landed in the file, the file holds the look before it.
    if (s.settingsSaver.pending()) return;
    settings.readFile(s.folders.settingsFile, kSettingsSection, s.settingsCache);
}

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

std::string Win32SceneHost::findPluginFolder() {
    // Found at the start of Init; the user hears about it only now, when the scene needs it.
    const InstallFolders& folders = pluginState().folders;
    if (folders.message) MessageBoxA(nullptr, folders.message, "Error!", MB_OK);
    return folders.pluginFolder;
}

AssetFolders Win32SceneHost::folders() const {
    const std::string& own = pluginState().folders.pluginFolder;
    return AssetFolders{own, {}, {}, own.empty() ? std::string() : own + kUserLooksSubfolder};
}

std::string Win32SceneHost::assetFolder(AssetKind kind, const std::string& name) {
    return folders().folderFor(kind, name);
}

bool Win32SceneHost::saveSettings(Settings& settings, KeySet keys) {
    const std::string& path = pluginState().folders.settingsFile;
    if (path.empty()) return false;
    pluginState().settingsSaver.save(path, kSettingsSection, settings, keys);
    return true;
}

void Win32SceneHost::showError(const char* text, const char* caption) {
    MessageBoxA(nullptr, text, caption, MB_OK);
}

std::unique_ptr<platform::LivePicture> Win32SceneHost::openLivePicture() {
    std::unique_ptr<platform::WindowCapture> capture(new (std::nothrow) platform::WindowCapture);
    if (!capture || !capture->open(pluginState().hostWindow)) return nullptr;
    return capture;
}

Win32SceneHost& sceneHost() {
    static Win32SceneHost host;
    return host;
}
