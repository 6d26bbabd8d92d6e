#pragma once
// A live picture that a model surface can wear as its texture ("Vizorama.tga"): 256 x 128
// pixels, 3 bytes a pixel in blue, green, red order, 768 bytes a row, the bottom row first.
// Each front end hands the scene a source of its own (SceneHost::openLivePicture): the plug-in a
// copy of the player's window, the Linux program its own window's last frame, the off-screen
// renderer a test card.

#include <cstdint>

namespace platform {

class LivePicture {
public:
    static constexpr int kWidth = 256;
    static constexpr int kHeight = 128;
    static constexpr int kStride = kWidth * 3;

    virtual ~LivePicture() = default;

    // Brings the picture up to date; called once a frame while the model wears it.
    virtual void capture() = 0;

    // The picture (kStride * kHeight bytes, at the same address for the source's life), or null
    // while there is none.
    virtual const uint8_t* pixels() const = 0;
};

}  // namespace platform
