#include "frontend/Options.h"

#include <cstdio>
#include <cstdlib>

bool parseOptions(int argc, const char* const* argv, Options& o, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) {
                error = a + " needs a value";
                return false;
            }
            out = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--source") {
            if (!value(o.source)) return false;
        } else if (a == "--wav") {
            if (!value(o.wav)) return false;
        } else if (a == "--frame-log") {
            if (!value(o.frameLog)) return false;
        } else if (a == "--data") {
            if (!value(o.dataFolder)) return false;
        } else if (a == "--signal") {
            if (!value(o.signal)) return false;
            if (o.signal != "builtin" && o.signal != "silence") {
                error = "--signal takes builtin or silence";
                return false;
            }
        } else if (a == "--frames") {
            if (!value(v)) return false;
            char* end = nullptr;
            o.frames = std::strtol(v.c_str(), &end, 10);
            if (*end || o.frames <= 0) {
                error = "--frames takes a positive number";
                return false;
            }
        } else if (a == "--size") {
            if (!value(v)) return false;
            char tail = 0;
            if (std::sscanf(v.c_str(), "%dx%d%c", &o.width, &o.height, &tail) != 2 ||
                o.width < 16 || o.height < 16 || o.width > 16384 || o.height > 16384) {
                error = "--size takes WIDTHxHEIGHT, for example 1280x540";
                return false;
            }
            o.sizeGiven = true;
        } else if (a == "--display") {
            if (!value(v)) return false;
            char* end = nullptr;
            const long n = std::strtol(v.c_str(), &end, 10);
            if (v.empty() || *end || n < 1 || n > 64) {
                error = "--display takes a display's number, 1 for the first";
                return false;
            }
            o.display = static_cast<int>(n);
        } else if (a == "--list-sources") o.listSources = true;
        else if (a == "--loop") o.loop = true;
        else if (a == "--flat-out") o.flatOut = true;
        else if (a == "--fullscreen") o.fullScreen = true;
        else if (a == "--version") o.version = true;
        else if (a == "--help" || a == "-h") o.help = true;
        else {
            error = "unknown option " + a;
            return false;
        }
    }
    if (!o.wav.empty() && !o.source.empty()) {
        error = "--wav and --source exclude each other";
        return false;
    }
    return true;
}
