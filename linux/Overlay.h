#pragma once
// The short overlay of keys and current choices, drawn over the scene with the same OpenGL
// context: a dark panel in the top left corner and the text in our pixel font, each font pixel
// a small square. It saves and restores every state it changes, so the scene's next frame
// finds its fixed state as it left it.

#include <string>
#include <vector>

// Appends the squares of text in the pixel font (upper case; characters it lacks are left
// blank) with its top-left corner at (left, top), y growing downwards, each font pixel
// scale x scale: four corners (x, y) per square. Returns the text's width.
float appendTextQuads(const std::string& text, float left, float top, float scale,
                      std::vector<float>& corners);

class Overlay {
public:
    // Shows lines (the first one brighter) until seconds from now.
    void show(const std::vector<std::string>& lines, double now, double seconds);
    void hide() { until_ = 0; }
    bool visible(double now) const { return now < until_; }
    // Draws the overlay over a window of width x height pixels, if visible.
    void draw(int width, int height, double now);

private:
    double until_ = 0;
    std::vector<float> title_, body_;  // corners of the first line's squares and the others'
    float panelWidth_ = 0, panelHeight_ = 0;
};
