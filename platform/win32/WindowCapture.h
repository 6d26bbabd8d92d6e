#pragma once
// The plug-in's live picture: a halftone-stretched copy of the player's main window taken
// through GDI into a 256 x 128 bitmap (see LivePicture for the layout).

#include <memory>

#include "platform/LivePicture.h"

namespace platform {

class WindowCapture : public LivePicture {
public:
    WindowCapture();
    ~WindowCapture() override;
    WindowCapture(const WindowCapture&) = delete;
    WindowCapture& operator=(const WindowCapture&) = delete;

    // Sets up the capture of window (a native window handle; null for the whole screen).
    // False when the bitmap cannot be made; whatever was made is released by close().
    bool open(void* window);

    // Takes a new picture: the window without its outermost pixel on each side, scaled onto
    // the whole bitmap. Does nothing before open() succeeded or when the window is gone.
    void capture() override;

    // The picture, or null while no capture is set up.
    const uint8_t* pixels() const override;

    // Releases the bitmap and the device contexts.
    void close();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
