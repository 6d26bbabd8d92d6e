#pragma once

#include <windows.h>

// Starts the configuration utility from the configuration folder on behalf of owner, without
// waiting for it, then reads the settings file again.
void launchConfigurator(HWND owner);
