#pragma once
// Where a named skybox or model lives: in one of the user's own folders when one of them holds
// a folder of that name (the first that does), otherwise below the program's own folder.

#include <string>
#include <vector>

// userFolders: absolute folders with their trailing separator, searched in order; ownFolder:
// the program's folder of skies or models, with its trailing separator.
std::string assetFolderFor(const std::string& name, const std::vector<std::string>& userFolders,
                           const std::string& ownFolder);

enum class AssetKind { Skybox, Model };

// The folders a front end's assets come from, all absolute with their trailing separator.
struct AssetFolders {
    std::string own;  // the program's own: textures, "Skyboxes\", "Models\"; empty when unknown
    std::vector<std::string> userSkyboxes, userModels;  // the user's own, searched first by name

    // The folder of the named sky or model in the platform's form, with its trailing separator,
    // ready for a file name. Empty when there is none to read from: the name leads outside its
    // folders, the folder does not exist (or is a file), or the program's folder is unknown and
    // no user folder has it. The caller treats that as a missing folder; nothing is ever looked
    // up relative to the process's current directory.
    std::string folderFor(AssetKind kind, const std::string& name) const;
};
