// vizorama.exe: the Vizorama scene in a window of its own on the Windows desktop, moving to
// whatever the computer plays (the default output's mix, through WASAPI loopback), another
// sound endpoint (a line in, say), or a WAV file it plays itself. It drives the scene exactly
// as the plug-in does: set-up once, then one renderFrame a frame on the block being heard; the
// keys change the looks in its settings file.

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "audio/AudioSource.h"
#include "frontend/Options.h"
#include "frontend/WindowPlace.h"
#include "platform/Platform.h"
#include "winapp/Console.h"
#include "winapp/Paths.h"
#include "winapp/ProgramRun.h"
#include "winapp/ProgramWindow.h"
#include "winapp/WasapiEndpoints.h"

#ifndef VZRM_VERSION
#define VZRM_VERSION "0"
#endif

const char* const kUsage =
    "usage: vizorama [--source NAME | --wav FILE [--loop]] [--fullscreen] [--display N]\n"
    "                [--size WxH] [--flat-out] [--frames N] [--signal builtin|silence]\n"
    "                [--frame-log FILE] [--data DIR]\n"
    "       vizorama --list-sources | --version | --help\n"
    "Shows the Vizorama scene in a window, moving to what the computer plays (the default\n"
    "output), another sound endpoint (--list-sources names them), or a WAV file it plays.\n"
    "--display N: full screen on the Nth display (1 is the first). The window's size, place\n"
    "and full screen are remembered for the next start.\n";

namespace {

int listSources() {
    WasapiEndpoints endpoints;
    endpoints.threadStarts();
    std::vector<EndpointInfo> all;
    EndpointInfo standard;
    std::string error, unused;
    const bool listed = endpoints.list(all, error);
    const bool hasDefault = endpoints.defaultOutput(standard, unused);
    endpoints.threadEnds();
    if (!listed) {
        tellUser("vizorama: no audio device (" + error + ")\n", true);
        return 1;
    }
    std::string text;
    for (const EndpointInfo& e : all)
        text += e.name + "\t" + (e.output ? "(an output: what it plays" : "(an input") +
                (hasDefault && e.id == standard.id ? ", the default)" : ")") + "\n";
    tellUser(text.empty() ? "no sound endpoints\n" : text, false);
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    Options options;
    std::string error;
    if (!parseOptions(__argc, __argv, options, error)) {
        tellUser("vizorama: " + error + " (vizorama --help lists the options)\n", true);
        return 2;
    }
    if (options.help) {
        tellUser(kUsage, false);
        return 0;
    }
    if (options.version) {
        tellUser("vizorama " VZRM_VERSION "\n", false);
        return 0;
    }
    if (options.listSources) return listSources();

    // A WAV file that cannot be played is refused before any window opens.
    AudioSource music;
    if (!options.wav.empty() && !music.loadWav(options.wav, error)) {
        tellUser("vizorama: " + error + "\n", true);
        return 2;
    }
    const ProgramFolders folders = programFolders(
        std::getenv("APPDATA"), options.dataFolder.empty() ? platform::executableFolder() : options.dataFolder);

    // The window opens where the last run's was (a missing or bad file: the defaults).
    WindowPlace remembered;
    readWindowPlace(folders.windowFile(), remembered);
    ProgramWindow window;
    if (int code = window.open(options, remembered, error); code != 0) {
        tellUser("vizorama: " + error + "\n", true);
        return code;
    }
    // The scene's run ends (and releases what lives in the context) before the window closes.
    const int code = ProgramRun(window, options, music, folders).run();
    if (!folders.windowFile().empty()) writeWindowPlace(folders.windowFile(), window.place());
    return code;
}
