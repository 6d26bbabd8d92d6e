#include "plugin/PluginState.h"

#include "plugin/TestHooks.h"

PluginState& pluginState() {
    static PluginState state;
    return state;
}

void readSettings(PluginState& s) {
    s.scene.settings->readFile(s.folders.settingsFile, kSettingsSection);
    s.settingsRead = true;
}

void writeSettings(PluginState& s) {
    s.settingsSaver.finish();
    noteSettingsWrite();
    s.scene.settings->writeFile(s.folders.settingsFile, kSettingsSection);
}
