#pragma once
// Where the Windows program keeps its files: the settings, the window's place from the last run
// and the user's own models, skies and looks in %APPDATA%\Vizorama\; our textures, skies, models
// and looks beside the executable, with the configuration utility in its "Configurations\"
// folder (the plug-in folder's layout, so the utility finds our models as it does there). This
// file is free of Win32 headers so that it is tested natively.

#include <string>

struct ProgramFolders {
    std::string own;       // our assets, with its trailing backslash
    std::string user;      // %APPDATA%\Vizorama\ ; empty when APPDATA is not set
    std::string models;    // the user's Models\ folder (empty as user)
    std::string skyboxes;  // the user's Skyboxes\ folder
    std::string looks;     // the user's Looks\ folder
    std::string settingsFile() const;
    std::string windowFile() const;  // the window remembered from the last run
    std::string utility() const;     // the configuration utility
};

// From the value of APPDATA (may be null) and the folder of our assets (the executable's, or
// the one --data names; a trailing separator is added where it lacks one). An APPDATA that is
// empty or not a full path ("C:\..." or "\\server\...") counts as unset.
ProgramFolders programFolders(const char* appData, const std::string& ownFolder);
