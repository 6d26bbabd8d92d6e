#include "readers/AssetFolder.h"

#include <algorithm>

#include "platform/Platform.h"
#include "settings/FolderName.h"

std::string assetFolderFor(const std::string& name, const std::vector<std::string>& userFolders,
                           const std::string& ownFolder) {
    // An empty name would find the user's folder itself.
    if (!name.empty())
        for (const std::string& folder : userFolders)
            if (!folder.empty() && platform::folderExists(folder + name)) return folder + name;
    return ownFolder + name;
}

std::string AssetFolders::folderFor(AssetKind kind, const std::string& name) const {
    if (!staysInsideFolder(name)) return {};
    if (kind == AssetKind::UserLooks) return name.empty() ? platform::nativePath(userLooks) : std::string();
    if (kind == AssetKind::Looks) {
        const std::string ours = own + "Looks\\";
        return name.empty() && !own.empty() && platform::folderExists(ours) ? platform::nativePath(ours)
                                                                            : std::string();
    }
    const bool sky = kind == AssetKind::Skybox;
    const std::string ownFolder = own.empty() ? std::string() : own + (sky ? "Skyboxes\\" : "Models\\");
    const std::string folder = assetFolderFor(name, sky ? userSkyboxes : userModels, ownFolder);
    if ((ownFolder.empty() && folder == name) || !platform::folderExists(folder)) return {};
    const char last = folder.back();
    return platform::nativePath(last == '\\' || last == '/' ? folder : folder + '\\');
}

std::vector<std::string> AssetFolders::namesOf(AssetKind kind) const {
    const bool sky = kind == AssetKind::Skybox;
    std::vector<std::string> folders = sky ? userSkyboxes : userModels;
    if (!own.empty()) folders.push_back(own + (sky ? "Skyboxes\\" : "Models\\"));
    std::vector<std::string> names;
    for (const std::string& folder : folders) {
        if (folder.empty()) continue;
        for (std::string& name : platform::listFolder(folder, platform::EntryKind::Folders))
            if (staysInsideFolder(name)) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}
