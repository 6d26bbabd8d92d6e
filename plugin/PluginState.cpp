#include "plugin/PluginState.h"

#include <new>

PluginState& pluginState() {
    static PluginState state;
    return state;
}

void createComponents() {
    PluginState& s = pluginState();
    if (!s.settings) s.settings = new (std::nothrow) Settings;
}

void releaseComponents() {
    PluginState& s = pluginState();
    delete s.settings;
    s.settings = nullptr;
}
