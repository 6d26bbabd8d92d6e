#include "readers/AssetFolder.h"

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
    const bool sky = kind == AssetKind::Skybox;
    const std::string ownFolder = own.empty() ? std::string() : own + (sky ? "Skyboxes\\" : "Models\\");
    const std::string folder = assetFolderFor(name, sky ? userSkyboxes : userModels, ownFolder);
    if ((ownFolder.empty() && folder == name) || !platform::folderExists(folder)) return {};
    const char last = folder.back();
    return platform::nativePath(last == '\\' || last == '/' ? folder : folder + '\\');
}
