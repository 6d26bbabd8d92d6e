#pragma once
// The installation folders and the start of the configuration utility's folder. This file is
// free of Win32 headers so the folder arithmetic can be tested natively.
//
// The plug-in folder holds the assets; its "Configurations\" folder holds the settings file and
// the utility, so all three are always found together. In the player's own layout it lies below
// the player's folder; other hosts (and players whose plug-in folder the user moved) are served
// by the folder "vis_vzrm\" beside the plug-in's own library file.

#include <string>

inline constexpr const char* kConfigurationFolder = "Plugins\\vis_vzrm\\Configurations\\";
inline constexpr const char* kPluginSubfolder = "Plugins\\vis_vzrm\\";
inline constexpr const char* kOwnSubfolder = "vis_vzrm\\";
inline constexpr const char* kConfigurationSubfolder = "Configurations\\";
// The user's own looks, below the plug-in folder (ours are in "Looks\\" itself).
inline constexpr const char* kUserLooksSubfolder = "Looks\\Mine\\";
inline constexpr const char* kSettingsFileName = "vis_vzrm_config.ini";
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

// The plug-in folder below the player found at hostPath when that folder exists; otherwise
// ownFolder (the folder of the plug-in's library file) + "vis_vzrm\" when that exists and fits;
// otherwise the player's result as it is, with its message if it has one.
PluginFolderResult choosePluginFolder(const std::string& hostPath, const std::string& ownFolder);

struct InstallFolders {
    std::string pluginFolder;       // the assets, with trailing separator; empty when unusable
    const char* message = nullptr;  // why there is no plug-in folder, to show the user
    std::string configurationFolder;  // the settings file and the utility; empty if too long
    std::string settingsFile;         // full path; empty when it would not fit
};

// The configuration folder and settings file that go with a plug-in folder; without one, the
// configuration folder below the executable's folder.
InstallFolders installFoldersFor(const PluginFolderResult& plugin);

// Searches for the player and looks beside the plug-in's own file. Shows nothing.
InstallFolders findInstallFolders();
