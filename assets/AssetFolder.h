#pragma once
// Where a named skybox or model lives: in one of the user's own folders when one of them holds
// a folder of that name (the first that does), otherwise below the program's own folder.

#include <string>
#include <vector>

// userFolders: absolute folders with their trailing separator, searched in order; ownFolder:
// the program's folder of skies or models, with its trailing separator.
std::string assetFolderFor(const std::string& name, const std::vector<std::string>& userFolders,
                           const std::string& ownFolder);
