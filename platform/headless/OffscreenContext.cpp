#include "platform/headless/OffscreenContext.h"

#include <GL/osmesa.h>
#include <stb_image_write.h>

OffscreenContext::OffscreenContext(int width, int height)
    : width_(width), height_(height),
      buffer_(static_cast<size_t>(width) * static_cast<size_t>(height) * 4) {
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 32, 0, 0, nullptr);
    if (!context) return;
    if (!OSMesaMakeCurrent(context, buffer_.data(), GL_UNSIGNED_BYTE, width, height)) {
        OSMesaDestroyContext(context);
        return;
    }
    // Rows bottom first, as glReadPixels would give them.
    OSMesaPixelStore(OSMESA_Y_UP, 1);
    context_ = context;
}

OffscreenContext::~OffscreenContext() {
    if (context_) OSMesaDestroyContext(static_cast<OSMesaContext>(context_));
}

OffscreenContext::Rgba OffscreenContext::pixel(int x, int y) const {
    glFinish();
    size_t at = (static_cast<size_t>(height_ - 1 - y) * static_cast<size_t>(width_) +
                 static_cast<size_t>(x)) * 4;
    return {buffer_[at], buffer_[at + 1], buffer_[at + 2], buffer_[at + 3]};
}

bool OffscreenContext::savePng(const std::string& path) const {
    glFinish();
    // Write top row first; force the alpha opaque so viewers show what the window shows.
    std::vector<uint8_t> rows(buffer_.size());
    size_t stride = static_cast<size_t>(width_) * 4;
    for (int y = 0; y < height_; ++y)
        for (size_t i = 0; i < stride; ++i)
            rows[static_cast<size_t>(y) * stride + i] =
                (i % 4 == 3) ? 255 : buffer_[static_cast<size_t>(height_ - 1 - y) * stride + i];
    return stbi_write_png(path.c_str(), width_, height_, 4, rows.data(),
                          static_cast<int>(stride)) != 0;
}

bool OffscreenContext::writeRgb(std::FILE* out) const {
    glFinish();
    std::vector<uint8_t> rows(static_cast<size_t>(width_) * static_cast<size_t>(height_) * 3);
    uint8_t* to = rows.data();
    for (int y = height_ - 1; y >= 0; --y) {
        const uint8_t* from =
            buffer_.data() + static_cast<size_t>(y) * static_cast<size_t>(width_) * 4;
        for (int x = 0; x < width_; ++x, from += 4) {
            *to++ = from[0];
            *to++ = from[1];
            *to++ = from[2];
        }
    }
    return std::fwrite(rows.data(), 1, rows.size(), out) == rows.size();
}
