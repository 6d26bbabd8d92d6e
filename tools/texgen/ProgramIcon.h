#pragma once
// The Windows program's icon: a glowing ring round a bright core on a dark disc (the scene's
// pulsar over its meter), painted at 16, 32 and 48 pixels and stored as an ICO file.

#include <cstdint>
#include <vector>

#include "tools/texgen/Image.h"

// The icon painted at size x size pixels, RGBA, transparent outside its disc.
Image paintProgramIcon(int size);

// An ICO file of the images (RGBA, at most 256 pixels a side): each a 32-bit bitmap with its
// mask, as every version of Windows reads them.
std::vector<uint8_t> encodeIco(const std::vector<Image>& images);
