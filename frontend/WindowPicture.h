#pragma once
// The Linux program's live picture: its own window's last frame, scaled down to the 256 x 128
// picture a model surface wears. The model asks for a new picture in the middle of drawing a
// frame, when the window holds only part of it; so the asking is noted, and the frame is read
// back once it is drawn, before the swap, to be the picture of the next frame. Nothing is read
// while the model does not wear the picture.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/LivePicture.h"

// Scales an RGBA frame of width x height (bottom row first) onto a picture in LivePicture's
// layout: each picture pixel is the mean of the frame pixels its area covers, at least one.
void scaleFrameToPicture(const uint8_t* rgba, int width, int height, uint8_t* bgr);

class WindowPicture {
public:
    WindowPicture();

    // A source for the model that hands it this picture; it must not outlive this object.
    std::unique_ptr<platform::LivePicture> source();

    // After a frame of width x height is drawn, before the swap: when a picture was asked for
    // since the last call, reads the frame back from the current context and scales it down.
    void keepFrame(int width, int height);

    const uint8_t* pixels() const { return picture_.data(); }

private:
    class Source;
    std::vector<uint8_t> frame_;    // the last frame read back; grows with the window only
    std::vector<uint8_t> picture_;  // LivePicture's layout
    bool asked_ = false;
};
