#pragma once
// Our default skybox, "Late Afternoon": six faces of one sky seen from inside a cube, a warm low
// sun over a line of distant hills.

#include <string>
#include <vector>

#include "tools/texgen/TextureArt.h"

inline constexpr const char* kDefaultSkybox = "Late Afternoon";

// The six faces, named Left, Right, Back, Front, Up and Down .tga, 128 x 128 RGB each.
std::vector<NamedTexture> makeLateAfternoonSkybox();

// Writes them into folder/Skyboxes/Late Afternoon/, creating the folders.
bool writeDefaultSkybox(const std::string& folder, std::string& error);
