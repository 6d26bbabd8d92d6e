#include "platform/win32/WindowCapture.h"

#include <windows.h>

namespace platform {

struct WindowCapture::Impl {
    HWND window = nullptr;
    HDC windowDc = nullptr;
    HDC memoryDc = nullptr;
    HBITMAP captureBitmap = nullptr;
    HGDIOBJ previousBitmap = nullptr;
    void* bits = nullptr;
};

WindowCapture::WindowCapture() : impl_(new Impl) {}

WindowCapture::~WindowCapture() { close(); }

bool WindowCapture::open(void* window) {
    close();
    Impl& c = *impl_;
    c.window = static_cast<HWND>(window);
    c.windowDc = GetWindowDC(c.window);
    if (!c.windowDc) return false;

    // 24 bits a pixel, uncompressed, a positive height: the bottom row comes first.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;

    c.memoryDc = CreateCompatibleDC(c.windowDc);
    if (!c.memoryDc) return false;
    c.captureBitmap = CreateDIBSection(c.memoryDc, &info, DIB_RGB_COLORS, &c.bits, nullptr, 0);
    if (!c.captureBitmap || !c.bits) return false;
    c.previousBitmap = SelectObject(c.memoryDc, c.captureBitmap);
    // Halftone gives a smooth reduction; GDI wants the brush origin set again after choosing it.
    SetStretchBltMode(c.memoryDc, HALFTONE);
    POINT origin{};
    GetBrushOrgEx(c.memoryDc, &origin);
    SetBrushOrgEx(c.memoryDc, origin.x, origin.y, nullptr);
    return true;
}

void WindowCapture::capture() {
    Impl& c = *impl_;
    if (!c.bits) return;
    RECT r;
    if (c.window ? !GetWindowRect(c.window, &r) : !GetWindowRect(GetDesktopWindow(), &r)) return;
    StretchBlt(c.memoryDc, 0, 0, kWidth, kHeight, c.windowDc, 1, 1, r.right - r.left - 2,
               r.bottom - r.top - 2, SRCCOPY);
    GdiFlush();  // the pixels are read straight from the section's memory next
}

const uint8_t* WindowCapture::pixels() const { return static_cast<const uint8_t*>(impl_->bits); }

void WindowCapture::close() {
    Impl& c = *impl_;
    if (c.memoryDc && c.previousBitmap) SelectObject(c.memoryDc, c.previousBitmap);
    if (c.captureBitmap) DeleteObject(c.captureBitmap);
    if (c.memoryDc) DeleteDC(c.memoryDc);
    if (c.windowDc) ReleaseDC(c.window, c.windowDc);
    c = Impl{};
}

}  // namespace platform
