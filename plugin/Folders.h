#pragma once
// The installation folders below the player's folder and the start of the configuration
// utility. This file is free of Win32 headers so the folder arithmetic can be tested natively.

#include <string>

inline constexpr const char* kConfigurationFolder = "Plugins\\vis_vzrm\\Configurations\\";
inline constexpr const char* kPluginSubfolder = "Plugins\\vis_vzrm\\";
inline constexpr const char* kConfiguratorFile = "vis_vzrm_c.exe";
inline constexpr const char* kHostExecutable = "Winamp.exe";

// Paths live in buffers of this many characters, terminator included.
inline constexpr size_t kMaxPath = 260;

struct PluginFolderResult {
    std::string folder;           // the plug-in folder, empty when a message is due
    const char* message = nullptr;  // the error to show, null on success
};

// Derives the plug-in folder from the host executable's path as found on the search path
// (empty when it was not found), with the length limits of the 260-character buffer.
PluginFolderResult pluginFolderFromHostPath(const std::string& hostPath);

// Finds the host executable and returns the plug-in folder ("...\Plugins\vis_vzrm\"), or an
// empty text after showing why not.
std::string findPluginFolder();

// The configuration folder below the executable's folder, or empty if it would not fit.
std::string configurationFolder();
