#pragma once
// The short overlay of keys and current choices, drawn over the scene with the same OpenGL
// context: a dark panel in the top left corner (or the bottom left one) and the text in our
// pixel font, each font pixel a small square. The Linux program shows its keys and messages in
// it; the scene shows the name of a look it changed to. It saves and restores every state it changes, so the scene's next frame
// finds its fixed state as it left it.

#include <string>
#include <vector>

#include "sprites/TextQuads.h"

struct OverlayLayout {
    float scale = 2;   // screen pixels per font pixel
    int columns = 1;   // the lines run down the first column, then the next
};

// The largest text (font pixels of 2, then 1 window point) in the fewest columns (up to 3)
// that fits lines of the given widths (in characters) into width x height pixels; the smallest
// and most columns when nothing fits. pixelRatio: pixels per window point (2 on a HiDPI display
// at 200 %), which the font's pixels and the margins grow by, rounded to whole pixels.
OverlayLayout layoutOverlay(const std::vector<size_t>& lineLengths, int width, int height,
                            float pixelRatio = 1);

class Overlay {
public:
    // Shows lines (the first one brighter) until seconds from now.
    enum class Corner { TopLeft, BottomLeft };
    void show(const std::vector<std::string>& lines, double now, double seconds,
              Corner corner = Corner::TopLeft);
    void hide() { until_ = 0; }
    bool visible(double now) const { return now < until_; }
    // Draws the overlay over a drawable of width x height pixels, if visible; pixelRatio as
    // layoutOverlay's.
    void draw(int width, int height, double now, float pixelRatio = 1);

private:
    // Makes the squares of the text for a drawable of width x height (when anything changed).
    void layOut(int width, int height, float pixelRatio);

    double until_ = 0;
    Corner corner_ = Corner::TopLeft;
    std::vector<std::string> lines_;
    int laidOutWidth_ = -1, laidOutHeight_ = -1;
    float laidOutRatio_ = 0;
    std::vector<float> title_, body_;  // corners of the first line's squares and the others'
    float panelWidth_ = 0, panelHeight_ = 0;
};
