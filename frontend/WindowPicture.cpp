#include "frontend/WindowPicture.h"

#include "platform/GlHeaders.h"

namespace {

using Picture = platform::LivePicture;

// The rows or columns of a frame of size that picture row or column i of count covers.
void span(int i, int count, int size, int& first, int& end) {
    first = static_cast<int>(static_cast<long long>(i) * size / count);
    end = static_cast<int>(static_cast<long long>(i + 1) * size / count);
    if (end <= first) end = first + 1;  // a frame smaller than the picture: the nearest pixel
}

}  // namespace

void scaleFrameToPicture(const uint8_t* rgba, int width, int height, uint8_t* bgr) {
    for (int y = 0; y < Picture::kHeight; ++y) {
        int top, bottom;
        span(y, Picture::kHeight, height, top, bottom);
        uint8_t* out = bgr + static_cast<size_t>(y) * Picture::kStride;
        for (int x = 0; x < Picture::kWidth; ++x, out += 3) {
            int left, right;
            span(x, Picture::kWidth, width, left, right);
            unsigned sum[3] = {0, 0, 0};
            for (int row = top; row < bottom; ++row) {
                const uint8_t* p = rgba + (static_cast<size_t>(row) * width + left) * 4;
                for (int column = left; column < right; ++column, p += 4)
                    sum[0] += p[0], sum[1] += p[1], sum[2] += p[2];
            }
            const unsigned n = static_cast<unsigned>((bottom - top) * (right - left));
            out[0] = static_cast<uint8_t>(sum[2] / n);
            out[1] = static_cast<uint8_t>(sum[1] / n);
            out[2] = static_cast<uint8_t>(sum[0] / n);
        }
    }
}

// What the model holds: asking notes the wish; the picture is the last frame kept.
class WindowPicture::Source : public platform::LivePicture {
public:
    explicit Source(WindowPicture& owner) : owner_(owner) {}
    void capture() override { owner_.asked_ = true; }
    const uint8_t* pixels() const override { return owner_.pixels(); }

private:
    WindowPicture& owner_;
};

WindowPicture::WindowPicture() : picture_(static_cast<size_t>(Picture::kStride) * Picture::kHeight, 0) {}

std::unique_ptr<platform::LivePicture> WindowPicture::source() {
    return std::make_unique<Source>(*this);
}

void WindowPicture::keepFrame(int width, int height) {
    if (!asked_ || width <= 0 || height <= 0) return;
    asked_ = false;
    const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    if (frame_.size() < bytes) frame_.resize(bytes);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);  // rows of RGBA pixels: never padded
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, frame_.data());
    scaleFrameToPicture(frame_.data(), width, height, picture_.data());
}
