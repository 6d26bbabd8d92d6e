#pragma once
// Our default skybox, "Late Afternoon": six faces of one sky seen from inside a cube, a warm low
// sun over a line of distant hills.

#include <string>
#include <vector>

#include "tools/texgen/TextureArt.h"

inline constexpr const char* kDefaultSkybox = "Late Afternoon";

// The colour of the sky (or of the hills below it) seen in direction (x, y, z) from the centre,
// y up; the sun stands low, towards +z and a little towards +x. The direction need not be unit.
Colour lateAfternoonSky(float x, float y, float z);

// The six faces, named Left, Right, Back, Front, Up and Down .tga, 128 x 128 RGB each.
std::vector<NamedTexture> makeLateAfternoonSkybox();

// Writes them into folder/Skyboxes/Late Afternoon/, creating the folders.
bool writeDefaultSkybox(const std::string& folder, std::string& error);
