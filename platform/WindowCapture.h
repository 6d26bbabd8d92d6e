#pragma once
// A small picture of the player's main window that the model can wear as a texture: 256 x 128
// pixels, 3 bytes a pixel in blue, green, red order, 768 bytes a row, the bottom row first.
// On Windows it is a halftone-stretched copy of the window taken through GDI; where there is no
// such window (the headless platform) it is a generated test card that moves a little at every
// capture.

#include <cstdint>
#include <memory>

namespace platform {

class WindowCapture {
public:
    static constexpr int kWidth = 256;
    static constexpr int kHeight = 128;
    static constexpr int kStride = 768;

    WindowCapture();
    ~WindowCapture();
    WindowCapture(const WindowCapture&) = delete;
    WindowCapture& operator=(const WindowCapture&) = delete;

    // Sets up the capture of window (a native window handle; null for the whole screen).
    // False when the bitmap cannot be made; whatever was made is released by close().
    bool open(void* window);

    // Takes a new picture: the window without its outermost pixel on each side, scaled onto
    // the whole bitmap. Does nothing before open() succeeded or when the window is gone.
    void capture();

    // The picture, or null while no capture is set up.
    const uint8_t* pixels() const;

    // Releases the bitmap and the device contexts.
    void close();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
