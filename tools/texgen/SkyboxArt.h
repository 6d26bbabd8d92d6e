#pragma once
// Our skyboxes: six faces of one sky seen from inside a cube.
// - "Late Afternoon" (the default): a warm low sun over a line of distant hills;
// - "Midnight": a starry night with a moon, the Milky Way and an aurora over dark mountains;
// - "Undersea": deep water seen from below, the bright rippled surface overhead, shafts of
//   light and drifting specks fading into the dark below.

#include <string>
#include <vector>

#include "tools/texgen/TextureArt.h"

inline constexpr const char* kDefaultSkybox = "Late Afternoon";

// The colour of the sky (or of the hills below it) seen in direction (x, y, z) from the centre,
// y up; the sun stands low, towards +z and a little towards +x. The direction need not be unit.
Colour lateAfternoonSky(float x, float y, float z);

// The six faces, named Left, Right, Back, Front, Up and Down .tga, 128 x 128 RGB each.
std::vector<NamedTexture> makeLateAfternoonSkybox();

// One of our skies: its folder name below Skyboxes/ and its six faces as above.
struct SkyboxPictures {
    std::string name;
    std::vector<NamedTexture> faces;
};
std::vector<SkyboxPictures> makeSkyboxes();  // "Late Afternoon" first

// Writes every sky into folder/Skyboxes/<name>/, creating the folders.
bool writeSkyboxes(const std::string& folder, std::string& error);
