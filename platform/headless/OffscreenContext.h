#pragma once
// A real OpenGL context without a window: Mesa's off-screen renderer (OSMesa) drawing into
// memory, for native tests and tools.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class OffscreenContext {
public:
    // Creates an RGBA context with a depth buffer and makes it current on this thread.
    OffscreenContext(int width, int height);
    ~OffscreenContext();
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    bool ok() const { return context_ != nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }

    // The colour of pixel (x, y), y counted from the top, as 0xAABBGGRR bytes r, g, b, a.
    struct Rgba {
        uint8_t r, g, b, a;
    };
    Rgba pixel(int x, int y) const;

    // Writes the picture as a PNG file (top row first). False on failure.
    bool savePng(const std::string& path) const;

    // Writes the picture as raw RGB bytes, top row first (a video frame for ffmpeg's "rawvideo"
    // input, pixel format rgb24). False on failure.
    bool writeRgb(std::FILE* out) const;

private:
    void* context_ = nullptr;
    int width_, height_;
    std::vector<uint8_t> buffer_;  // bottom row first, as OpenGL draws it
};
