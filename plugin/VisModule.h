#pragma once
// The records a visualisation plug-in hands to the player. The player reads and fills them
// directly, so field order and widths are fixed (checked below for the 32-bit build).

#include <windows.h>

#include <cstddef>

struct VisModule {
    const char* description;
    HWND hostWindow;
    HINSTANCE instance;
    int sampleRate;
    int channelCount;
    int latencyMs;
    int delayMs;
    int spectrumChannels;
    int waveformChannels;
    unsigned char spectrumData[2][576];
    unsigned char waveformData[2][576];
    void (*Config)(VisModule* module);
    int (*Init)(VisModule* module);
    int (*Render)(VisModule* module);
    void (*Quit)(VisModule* module);
    void* userData;
};

struct VisHeader {
    int version;
    const char* description;
    VisModule* (*getModule)(int index);
};

// The host's visualisation interface version.
constexpr int kVisHeaderVersion = 0x101;

// The one export, looked up by this undecorated name.
using GetHeaderFunction = VisHeader* (*)();
constexpr const char* kGetHeaderExport = "winampVisGetHeader";

// The export of a loaded library, or null.
inline GetHeaderFunction findGetHeader(HMODULE library) {
    return reinterpret_cast<GetHeaderFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, kGetHeaderExport)));
}

#if defined(_WIN32) && !defined(_WIN64)
static_assert(offsetof(VisModule, hostWindow) == 4);
static_assert(offsetof(VisModule, instance) == 8);
static_assert(offsetof(VisModule, sampleRate) == 12);
static_assert(offsetof(VisModule, channelCount) == 16);
static_assert(offsetof(VisModule, latencyMs) == 20);
static_assert(offsetof(VisModule, delayMs) == 24);
static_assert(offsetof(VisModule, spectrumChannels) == 28);
static_assert(offsetof(VisModule, waveformChannels) == 32);
static_assert(offsetof(VisModule, spectrumData) == 36);
static_assert(offsetof(VisModule, waveformData) == 36 + 1152);
static_assert(offsetof(VisModule, Config) == 36 + 2304);
static_assert(offsetof(VisModule, Init) == 2344);
static_assert(offsetof(VisModule, Render) == 2348);
static_assert(offsetof(VisModule, Quit) == 2352);
static_assert(offsetof(VisModule, userData) == 2356);
static_assert(sizeof(VisModule) == 2360);
static_assert(offsetof(VisHeader, description) == 4);
static_assert(offsetof(VisHeader, getModule) == 8);
static_assert(sizeof(VisHeader) == 12);
#endif
