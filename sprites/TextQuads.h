#pragma once
// Text in our pixel font as squares for OpenGL to draw: each lit font pixel one square.

#include <string>
#include <vector>

// Appends the squares of text in the pixel font (upper case; characters it lacks are left
// blank) with its top-left corner at (left, top), y growing downwards, each font pixel
// scale x scale: four corners (x, y) per square. Returns the text's width.
float appendTextQuads(const std::string& text, float left, float top, float scale,
                      std::vector<float>& corners);

// The width appendTextQuads gives text, without making its squares.
float textWidth(const std::string& text, float scale);
