#include "plugin/FrameDriver.h"

#include <GL/gl.h>

#include "plugin/PluginState.h"
#include "plugin/RenderWindow.h"

void drawFrame(HWND hostWindow) {
    PluginState& s = pluginState();
    if (!s.sceneReady || !s.settings) return;
    // The settings file is the channel from the configuration utility: read it every frame.
    s.settings->read(kSettingsFile, kSettingsSection);
    layoutWindow(hostWindow);
    moveRenderWindow();
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}
