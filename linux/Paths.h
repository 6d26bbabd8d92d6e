#pragma once
// Where the Linux program keeps its files, after the XDG base directory rules: the settings in
// $XDG_CONFIG_HOME/vizorama/ (~/.config/vizorama/), the user's own models, skies and looks in
// $XDG_DATA_HOME/vizorama/ (~/.local/share/vizorama/), the window's size and place from the last
// run in $XDG_STATE_HOME/vizorama/ (~/.local/state/vizorama/), our generated textures, skies and
// models in the installed data folder.

#include <string>

struct UserFolders {
    std::string config;    // with its trailing '/'; empty when neither variable nor HOME is set
    std::string models;    // the user's Models/ folder
    std::string skyboxes;  // the user's Skyboxes/ folder
    std::string looks;     // the user's Looks/ folder
    std::string state;     // with its trailing '/'; empty as config
    std::string settingsFile() const;
    std::string windowFile() const;  // the window remembered from the last run
};

// From the values of XDG_CONFIG_HOME, XDG_DATA_HOME, XDG_STATE_HOME and HOME (each may be
// null). A variable that is empty or not an absolute path counts as unset, as the XDG rules say.
UserFolders userFolders(const char* configHome, const char* dataHome, const char* stateHome,
                        const char* home);

// The folder of our own assets (with its trailing '/'): share/vizorama/ beside the program's
// bin/ folder when it is installed, else the build's staged assets when it runs from a build.
std::string dataFolderFor(const std::string& executableFolder, const std::string& buildFolder);
