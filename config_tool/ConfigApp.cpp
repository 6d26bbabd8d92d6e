// vis_vzrm_c.exe: the configuration utility. One copy at a time: a second one ends at once,
// showing nothing, and leaves the open one as it is. It edits the settings file beside itself,
// or the one named by --settings PATH (the Windows program's, in the user's folder).

#include <windows.h>

#include <commctrl.h>

#include "config_tool/ConfigDialog.h"
#include "config_tool/Folders.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    std::string error;
    if (!chooseSettingsFile(commandLine ? commandLine : "", error)) {
        MessageBoxA(nullptr, error.c_str(), kUtilityTitle, MB_OK | MB_ICONERROR);
        return 2;
    }
    // The tab control, the slider and the spin buttons, in the look the manifest asks for.
    INITCOMMONCONTROLSEX controls = {sizeof controls,
                                     ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&controls);

    // The open copy is known by its window's title. Two copies started at the same moment
    // (a double right click in the plug-in) might both miss the other's window, which does not
    // exist yet: a named object taken first closes that gap.
    HANDLE running = CreateMutexA(nullptr, FALSE, "Vizorama configuration utility");
    bool another = running && GetLastError() == ERROR_ALREADY_EXISTS;
    if (another || FindWindowA(nullptr, kUtilityTitle)) {
        if (running) CloseHandle(running);
        return 0;
    }

    ConfigDialog dialog;
    dialog.run();
    if (running) CloseHandle(running);
    return 0;
}
