#include "plugin/Folders.h"

#include <cstring>

#include "platform/Platform.h"

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

std::string findPluginFolder() {
    PluginFolderResult result =
        pluginFolderFromHostPath(platform::searchExecutablePath(kHostExecutable));
    if (result.message) platform::showMessage(nullptr, result.message, "Error!");
    return result.folder;
}

std::string configurationFolder() {
    std::string folder = platform::executableFolder();
    if (folder.empty()) return {};
    folder += kConfigurationFolder;
    return folder.size() < kMaxPath ? folder : std::string();
}
