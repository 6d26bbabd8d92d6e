#include "host/HostReport.h"

#include <psapi.h>

#include <cstdint>
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


namespace {

// Live GDI objects found by asking for the type of every table index. Under Wine, whose
// GetGuiResources answers 0, a GDI handle's low word is its index in the process's table, and a
// handle with a zero high word is taken for whatever object that index holds now.
long probeGdiObjects() {
    constexpr uintptr_t kTableSize = 0x4000;
    long count = 0;
    for (uintptr_t index = 1; index < kTableSize; ++index)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index))) ++count;
    return count;
}

// Open kernel handles found by asking for the flags of every handle value (multiples of 4).
// Handles are given out lowest free value first, so the probe stops after a long run of unused
// values.
long probeHandles() {
    constexpr uintptr_t kGiveUpAfter = 4096;
    long count = 0;
    uintptr_t unused = 0;
    for (uintptr_t value = 4; unused < kGiveUpAfter; value += 4) {
        DWORD flags;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
            ++count;
            unused = 0;
        } else {
            ++unused;
        }
    }
    return count;
}

BOOL CALLBACK countChild(HWND, LPARAM param) {
    ++*reinterpret_cast<long*>(param);
    return TRUE;
}

BOOL CALLBACK countOwnWindow(HWND window, LPARAM param) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId()) return TRUE;
    ++*reinterpret_cast<long*>(param);
    EnumChildWindows(window, countChild, param);
    return TRUE;
}

long countWindows() {
    long count = 0;
    EnumWindows(countOwnWindow, reinterpret_cast<LPARAM>(&count));
    for (HWND w = nullptr; (w = FindWindowExA(HWND_MESSAGE, w, nullptr, nullptr));)
        countOwnWindow(w, reinterpret_cast<LPARAM>(&count));
    return count;
}

}  // namespace

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
        if (memory.PrivateUsage) c.privateKb = static_cast<long long>(memory.PrivateUsage / 1024);
        c.pagefileKb = static_cast<long long>(memory.PagefileUsage / 1024);
    }
    // Zero means "not counted" here: a process with a window holds some of each.
    if (DWORD n = GetGuiResources(self, GR_GDIOBJECTS)) c.gdiObjects = static_cast<long>(n);
    if (DWORD n = GetGuiResources(self, GR_USEROBJECTS)) c.userObjects = static_cast<long>(n);
    DWORD handles = 0;
    if (GetProcessHandleCount(self, &handles) && handles) c.handles = static_cast<long>(handles);
    if (c.gdiObjects < 0) {
        c.gdiObjects = probeGdiObjects();
        c.gdiProbed = true;
    }
    if (c.handles < 0) {
        c.handles = probeHandles();
        c.handlesProbed = true;
    }
    c.windows = countWindows();
    return c;
}

void reportProcessCounters(const char* when) {
    ProcessCounters c = readProcessCounters();
    std::printf("host: counters %s working-set-kb=%lld private-kb=%lld pagefile-kb=%lld "
                "gdi-objects=%ld%s user-objects=%ld handles=%ld%s windows=%ld\n",
                when, c.workingSetKb, c.privateKb, c.pagefileKb, c.gdiObjects,
                c.gdiProbed ? "(probed)" : "", c.userObjects, c.handles,
                c.handlesProbed ? "(probed)" : "", c.windows);
    std::fflush(stdout);
}
