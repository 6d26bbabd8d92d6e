#pragma once
// The command line of the programs of their own (the Linux and the Windows program): the same
// options on both, each program with its own usage text (kUsage, defined in its main file).

#include <string>

struct Options {
    std::string source;        // a PulseAudio source; empty: the default output's monitor
    bool listSources = false;
    std::string wav;           // a WAV file to play and show
    bool loop = false;
    bool flatOut = false;      // no wait for the display between frames
    long frames = 0;           // stop after this many frames; 0: run until closed
    int width = 960, height = 405;
    bool sizeGiven = false;    // --size: it wins over the size remembered from the last run
    bool fullScreen = false;
    int display = 0;           // the display for full screen, 1 the first; 0: the window's own
    std::string signal;        // "builtin" or "silence": no sound server, a fixed signal
    std::string frameLog;      // a file that gets one line per frame (time and levels)
    std::string dataFolder;    // our assets, when not the installed ones
    bool version = false, help = false;
};

// Fills options from the arguments; false, with error set, for an unknown option, a missing or
// bad value.
bool parseOptions(int argc, const char* const* argv, Options& options, std::string& error);

extern const char* const kUsage;
