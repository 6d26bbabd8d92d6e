#pragma once

#include <string>

// Saves the whole screen as a 24-bit BMP file; false on failure.
bool saveScreenshot(const std::string& path);
