#include "host/HostWindow.h"

#include <cstdio>

namespace {

std::atomic<bool>* closeFlag = nullptr;

// Scales the 275 x 116 design to the window's size.
RECT scaled(const RECT& client, int left, int top, int right, int bottom) {
    int w = client.right - client.left, h = client.bottom - client.top;
    return RECT{left * w / kHostWidth, top * h / kHostHeight, right * w / kHostWidth,
                bottom * h / kHostHeight};
}

void fill(HDC dc, const RECT& r, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

// A recognisable picture of a player: title bar, display with a spectrum, position bar and
// transport buttons. Deterministic, so captures of it can be compared.
void paint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT c;
    GetClientRect(window, &c);
    fill(dc, c, RGB(38, 38, 58));
    for (int i = 0; i < 14; ++i)  // title bar, a blue-to-violet gradient
        fill(dc, scaled(c, i * 275 / 14, 0, (i + 1) * 275 / 14 + 1, 14),
             RGB(30 + i * 9, 60, 200 - i * 5));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    RECT title = scaled(c, 0, 0, 275, 14);
    DrawTextA(dc, "VIZORAMA HOST", -1, &title, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    fill(dc, scaled(c, 10, 20, 265, 66), RGB(0, 0, 0));  // the display
    for (int i = 0; i < 19; ++i) {  // a spectrum: green low bars rising to red high ones
        int height = 6 + (i * 7 + (i % 3) * 11) % 34;
        fill(dc, scaled(c, 110 + i * 8, 62 - height, 116 + i * 8, 62),
             RGB(40 + i * 11, 230 - i * 8, 40));
    }
    SetTextColor(dc, RGB(0, 255, 120));
    RECT time = scaled(c, 14, 24, 100, 44);
    DrawTextA(dc, "1:51", -1, &time, DT_LEFT | DT_TOP | DT_SINGLELINE);
    fill(dc, scaled(c, 14, 72, 261, 78), RGB(90, 90, 120));  // position bar and its knob
    fill(dc, scaled(c, 90, 70, 104, 80), RGB(230, 200, 60));
    static const COLORREF buttons[5] = {RGB(200, 70, 70), RGB(70, 200, 70), RGB(220, 220, 80),
                                        RGB(70, 120, 230), RGB(200, 90, 220)};
    for (int i = 0; i < 5; ++i) fill(dc, scaled(c, 14 + i * 24, 88, 36 + i * 24, 106), buttons[i]);
    EndPaint(window, &ps);
}

LRESULT CALLBACK hostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_KEYUP:
        // Key releases the plug-in forwards: reported so that tests can see them arrive.
        std::printf("host: key release 0x%02x\n", static_cast<unsigned>(wParam));
        std::fflush(stdout);
        return 0;
    case WM_CLOSE:
        if (closeFlag) closeFlag->store(true);
        else PostQuitMessage(0);
        return 0;
    case kVisFinishedMessage:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

HWND createHostWindow(int x, int y, bool doubleSize) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = hostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "Winamp v1.x";
    RegisterClassA(&wc);
    int scale = doubleSize ? 2 : 1;
    return CreateWindowExA(0, wc.lpszClassName, "Vizorama Host", WS_POPUP | WS_VISIBLE, x, y,
                           kHostWidth * scale, kHostHeight * scale, nullptr, nullptr,
                           wc.hInstance, nullptr);
}

void setHostWindowCloseFlag(HWND, std::atomic<bool>* flag) { closeFlag = flag; }
