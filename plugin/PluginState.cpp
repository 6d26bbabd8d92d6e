#include "plugin/PluginState.h"

PluginState& pluginState() {
    static PluginState state;
    return state;
}
