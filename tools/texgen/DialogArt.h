#pragma once
// The configuration utility's two pictures, painted like the plug-in's own textures from our
// sky, flares and lettering: the banner across the top of its dialog and the picture on its
// About page. Sizes are what the dialog's layout gives them at 96 dots per inch with the usual
// dialog font (1.5 x 1.625 pixels a dialog unit); the dialog stretches them elsewhere.

#include <cstdint>
#include <string>
#include <vector>

#include "tools/texgen/Image.h"

Image makeBanner();        // 302 x 68 RGB: the product name over the late afternoon sky
Image makeAboutPicture();  // 240 x 138 RGB: a wireframe surface under the sky, two pulsars

// An uncompressed 24-bit BMP file, bottom row first, as resource compilers take them.
std::vector<uint8_t> encodeBmp(const Image& image);

// Writes Banner.bmp and About.bmp into an existing folder. On failure returns false with the
// reason in error.
bool writeDialogArt(const std::string& folder, std::string& error);
