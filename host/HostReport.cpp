#include "host/HostReport.h"

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

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


ProcessCounters readProcessCounters() {
    ProcessCounters c;
    HANDLE self = GetCurrentProcess();
    // Looked up rather than imported: it lives in kernel32 from Windows 7 on, and in psapi.dll,
    // which the host does not load, before that.
    using MemoryInfoFunction = BOOL(WINAPI*)(HANDLE, PPROCESS_MEMORY_COUNTERS, DWORD);
    auto memoryInfo = reinterpret_cast<MemoryInfoFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "K32GetProcessMemoryInfo")));
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (memoryInfo && memoryInfo(self, reinterpret_cast<PPROCESS_MEMORY_COUNTERS>(&memory),
                                 sizeof memory)) {
        c.workingSetKb = static_cast<long long>(memory.WorkingSetSize / 1024);
        c.privateKb = static_cast<long long>(memory.PrivateUsage / 1024);
        c.pagefileKb = static_cast<long long>(memory.PagefileUsage / 1024);
    }
    // Zero means "failed" for these (a running process always holds some handles).
    if (DWORD n = GetGuiResources(self, GR_GDIOBJECTS)) c.gdiObjects = static_cast<long>(n);
    if (DWORD n = GetGuiResources(self, GR_USEROBJECTS)) c.userObjects = static_cast<long>(n);
    DWORD handles = 0;
    if (GetProcessHandleCount(self, &handles) && handles) c.handles = static_cast<long>(handles);

    // Wine maps the Unix file system to drive Z:; elsewhere this file does not exist.
    if (FILE* status = std::fopen("Z:\\proc\\self\\status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status))
            if (std::strncmp(line, "VmRSS:", 6) == 0) c.residentKb = std::atoll(line + 6);
        std::fclose(status);
    }
    return c;
}

void reportProcessCounters(const char* when) {
    ProcessCounters c = readProcessCounters();
    std::printf("host: counters %s working-set-kb=%lld private-kb=%lld pagefile-kb=%lld "
                "gdi-objects=%ld user-objects=%ld handles=%ld resident-kb=%lld\n",
                when, c.workingSetKb, c.privateKb, c.pagefileKb, c.gdiObjects, c.userObjects,
                c.handles, c.residentKb);
    std::fflush(stdout);
}
