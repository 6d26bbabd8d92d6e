#pragma once
// What the host can tell about the plug-in it runs, for tests and for looking at it.

#include <windows.h>

#include <string>

// Prints every top-level window of the current thread: class, title, rectangle, styles, owner.
void reportThreadWindows(HWND hostWindow);

// Prints whether a window class is registered for the plug-in's instance.
void reportClass(HINSTANCE instance, const std::string& name);

// What the process holds, as the platform counts it; -1 where it does not tell.
struct ProcessCounters {
    long long workingSetKb = -1;
    long long privateKb = -1;   // private bytes (commit charge)
    long long pagefileKb = -1;  // pagefile usage
    long gdiObjects = -1;
    long userObjects = -1;
    long handles = -1;
    long windows = -1;  // the process's windows, top-level, child and message-only
    // Whether gdiObjects and handles were counted by probing (where the platform's own counters
    // answer nothing, as under Wine) rather than read.
    bool gdiProbed = false;
    bool handlesProbed = false;
};

ProcessCounters readProcessCounters();

// Prints the counters on one line: "host: counters WHEN working-set-kb=... private-kb=...
// pagefile-kb=... gdi-objects=... user-objects=... handles=... windows=..."; a value counted
// by probing is followed by "(probed)".
void reportProcessCounters(const char* when);
