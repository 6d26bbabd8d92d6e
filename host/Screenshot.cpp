#include "host/Screenshot.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

}  // namespace

bool saveScreenshot(const std::string& path) {
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up rows, as a BMP file stores them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = bitmap != nullptr;
    if (ok) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        ok = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
        GdiFlush();
        SelectObject(memory, old);
    }
    if (ok) {
        uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
        uint32_t imageSize = stride * static_cast<uint32_t>(height);
        std::vector<uint8_t> header;
        header.push_back('B');
        header.push_back('M');
        put32(header, 54 + imageSize);
        put32(header, 0);
        put32(header, 54);
        header.insert(header.end(), reinterpret_cast<uint8_t*>(&info.bmiHeader),
                      reinterpret_cast<uint8_t*>(&info.bmiHeader) + 40);
        FILE* f = std::fopen(path.c_str(), "wb");
        ok = f && std::fwrite(header.data(), 1, header.size(), f) == header.size() &&
             std::fwrite(bits, 1, imageSize, f) == imageSize;
        if (f) ok = std::fclose(f) == 0 && ok;
    }
    if (bitmap) DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}
