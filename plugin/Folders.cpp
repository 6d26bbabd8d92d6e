#include "plugin/Folders.h"

#include <cstring>

#include "platform/Platform.h"

namespace {

// The text if it fits a path buffer with its terminator, otherwise empty.
std::string fitting(std::string path) { return path.size() < kMaxPath ? path : std::string(); }

}  // namespace

PluginFolderResult pluginFolderFromHostPath(const std::string& hostPath) {
    PluginFolderResult result;
    if (hostPath.empty()) {
        result.message = "Could not find Winamp.exe!";
    } else if (hostPath.size() + 1 > kMaxPath) {
        result.message = "The Winamp.exe path too long!";
    } else if (hostPath.size() + 1 + std::strlen(kPluginSubfolder) > kMaxPath) {
        result.message = "The VZRM path too long!";
    } else {
        size_t slash = hostPath.find_last_of("\\/");
        size_t namePart = slash == std::string::npos ? 0 : slash + 1;
        result.folder = hostPath.substr(0, namePart) + kPluginSubfolder;
    }
    return result;
}

PluginFolderResult choosePluginFolder(const std::string& hostPath, const std::string& ownFolder) {
    PluginFolderResult player = pluginFolderFromHostPath(hostPath);
    if (!player.folder.empty() && platform::folderExists(player.folder)) return player;
    if (!ownFolder.empty()) {
        std::string own = fitting(ownFolder + kOwnSubfolder);
        if (!own.empty() && platform::folderExists(own)) return {own, nullptr};
    }
    // Neither is there: the player's answer, as it always was.
    return player;
}

InstallFolders installFoldersFor(const PluginFolderResult& plugin) {
    InstallFolders folders;
    folders.pluginFolder = plugin.folder;
    folders.message = plugin.message;
    if (!plugin.folder.empty()) {
        folders.configurationFolder = fitting(plugin.folder + kConfigurationSubfolder);
    } else {
        std::string executable = platform::executableFolder();
        if (!executable.empty())
            folders.configurationFolder = fitting(executable + kConfigurationFolder);
    }
    if (!folders.configurationFolder.empty())
        folders.settingsFile = fitting(folders.configurationFolder + kSettingsFileName);
    return folders;
}

InstallFolders findInstallFolders() {
    return installFoldersFor(choosePluginFolder(platform::searchExecutablePath(kHostExecutable),
                                                platform::ownModuleFolder()));
}
