#include "host/HostReport.h"

#include <cstdio>

namespace {

struct Report {
    HWND host;
    int count;
};

BOOL CALLBACK reportWindow(HWND window, LPARAM param) {
    auto* report = reinterpret_cast<Report*>(param);
    if (window == report->host) return TRUE;  // the host's own, when it shares the thread
    char cls[128] = {}, title[256] = {};
    GetClassNameA(window, cls, sizeof cls);
    GetWindowTextA(window, title, sizeof title);
    RECT r;
    GetWindowRect(window, &r);
    HWND owner = GetWindow(window, GW_OWNER);
    const char* ownerName = !owner ? "none" : owner == report->host ? "host" : "other";
    std::printf("host: window class=%s title=%s rect=%ld,%ld,%ld,%ld style=0x%08lx "
                "exstyle=0x%08lx owner=%s visible=%d\n",
                cls, title, r.left, r.top, r.right - r.left, r.bottom - r.top,
                static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)),
                static_cast<unsigned long>(GetWindowLongA(window, GWL_EXSTYLE)), ownerName,
                IsWindowVisible(window) ? 1 : 0);
    ++report->count;
    return TRUE;
}

}  // namespace

void reportThreadWindows(HWND hostWindow) {
    Report report{hostWindow, 0};
    EnumThreadWindows(GetCurrentThreadId(), reportWindow, reinterpret_cast<LPARAM>(&report));
    std::printf("host: %d plug-in windows\n", report.count);
    std::fflush(stdout);
}

void reportClass(HINSTANCE instance, const std::string& name) {
    WNDCLASSA wc;
    bool registered = GetClassInfoA(instance, name.c_str(), &wc);
    std::printf("host: class %s %s\n", name.c_str(), registered ? "registered" : "unregistered");
    std::fflush(stdout);
}

