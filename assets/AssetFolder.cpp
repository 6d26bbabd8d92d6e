#include "assets/AssetFolder.h"

#include "platform/Platform.h"

std::string assetFolderFor(const std::string& name, const std::vector<std::string>& userFolders,
                           const std::string& ownFolder) {
    // An empty name would find the user's folder itself.
    if (!name.empty())
        for (const std::string& folder : userFolders)
            if (!folder.empty() && platform::folderExists(folder + name)) return folder + name;
    return ownFolder + name;
}
