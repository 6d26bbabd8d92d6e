#include "plugin/Launcher.h"

#include <shellapi.h>

#include "plugin/Folders.h"
#include "plugin/PluginState.h"

void launchConfigurator(HWND owner) {
    // Runs before a start as well as during one, on any thread: find the folders afresh.
    InstallFolders folders = findInstallFolders();
    if (!folders.configurationFolder.empty())
        ShellExecuteA(owner, "open", kConfiguratorFile, "", folders.configurationFolder.c_str(),
                      SW_SHOWNORMAL);

    // Read into a record of our own and let the render window's thread adopt it at its next
    // frame, instead of writing the live record under a running frame.
    pluginState().configRead.readAndPost(folders.settingsFile);
}
