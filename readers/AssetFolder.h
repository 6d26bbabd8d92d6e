#pragma once
// Where a named skybox or model lives: in one of the user's own folders when one of them holds
// a folder of that name (the first that does), otherwise below the program's own folder.

#include <string>
#include <vector>

// userFolders: absolute folders with their trailing separator, searched in order; ownFolder:
// the program's folder of skies or models, with its trailing separator.
std::string assetFolderFor(const std::string& name, const std::vector<std::string>& userFolders,
                           const std::string& ownFolder);

// A sky or a model is a folder of its name; Looks and UserLooks ask for the folder of our looks
// and of the user's own (with an empty name).
enum class AssetKind { Skybox, Model, Looks, UserLooks };

// The folders a front end's assets come from, all absolute with their trailing separator.
struct AssetFolders {
    std::string own;  // the program's own: textures, "Skyboxes\", "Models\"; empty when unknown
    std::vector<std::string> userSkyboxes, userModels;  // the user's own, searched first by name
    std::string userLooks;  // where the user's looks are kept; empty when there is no such place

    // The folder of the named sky or model in the platform's form, with its trailing separator,
    // ready for a file name. Empty when there is none to read from: the name leads outside its
    // folders, the folder does not exist (or is a file), or the program's folder is unknown and
    // no user folder has it. The caller treats that as a missing folder; nothing is ever looked
    // up relative to the process's current directory.
    // For looks (name empty): our "Looks\" folder when it exists, and the user's folder of looks
    // whether or not it exists yet (it is made when the first look is saved).
    std::string folderFor(AssetKind kind, const std::string& name) const;

    // The names of the skies or models there are: the sub-folders of ours and the user's,
    // sorted, each name once.
    std::vector<std::string> namesOf(AssetKind kind) const;
};
