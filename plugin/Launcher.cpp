#include "plugin/Launcher.h"

#include <shellapi.h>

#include "plugin/Folders.h"
#include "plugin/PluginState.h"

void launchConfigurator(HWND owner) {
    std::string folder = configurationFolder();
    if (!folder.empty())
        ShellExecuteA(owner, "open", kConfiguratorFile, "", folder.c_str(), SW_SHOWNORMAL);

    // This may run on any thread: read into a record of our own and let the plug-in thread
    // adopt it, instead of writing the live record under a running frame.
    Settings fresh;
    fresh.read(kSettingsFile, kSettingsSection);
    pluginState().configRead.post(fresh);
}
