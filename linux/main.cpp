// vizorama: the Vizorama scene in a window of its own on the Linux desktop, moving to whatever
// the computer plays (the monitor of the default output, through PulseAudio's client library or
// PipeWire's pulse server), another sound source, or a WAV file it plays itself.
// It drives the scene exactly as the plug-in does: set-up once, then one renderFrame a frame on
// the newest 576-sample block; the keys change the looks in the settings file.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/AudioSource.h"
#include "linux/GlWindow.h"
#include "frontend/Options.h"
#include "linux/Paths.h"
#include "linux/Pulse.h"
#include "linux/Say.h"
#include "linux/SceneRun.h"
#include "frontend/WindowPlace.h"
#include "platform/Platform.h"

#ifndef VZRM_VERSION
#define VZRM_VERSION "0"
#endif
#ifndef VZRM_BUILD_DATA
#define VZRM_BUILD_DATA ""
#endif

const char* const kUsage =
    "usage: vizorama [--source NAME | --wav FILE [--loop]] [--fullscreen] [--display N]\n"
    "                [--size WxH] [--flat-out] [--frames N] [--signal builtin|silence]\n"
    "                [--frame-log FILE] [--data DIR]\n"
    "       vizorama --list-sources | --version | --help\n"
    "Shows the Vizorama scene in a window, moving to what the computer plays (the monitor of\n"
    "the default output), another sound source, or a WAV file it plays.\n"
    "--display N: full screen on the Nth display (1 is the first). The window's size, place\n"
    "and full screen are remembered for the next start.\n";

namespace {

int listSources() {
    std::vector<SourceInfo> sources;
    std::string error;
    if (!listPulseSources(sources, error)) {
        say("no sound server (" + error + ")");
        return 1;
    }
    for (const SourceInfo& s : sources)
        std::printf("%s\t%s%s\n", s.name.c_str(), s.description.c_str(),
                    s.monitor ? " (what an output plays)" : "");
    return 0;
}

// The options that answer and end without a window (help, version, the sources); -1 for none.
int answerWithoutWindow(const Options& options) {
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (options.version) {
        std::printf("vizorama %s\n", VZRM_VERSION);
        return 0;
    }
    if (options.listSources) return listSources();
    return -1;
}

// Our assets' folder (with its trailing '/'): the one named on the command line, else the
// installed one beside the program, else the build's.
std::string dataFolderOf(const Options& options) {
    std::string folder = options.dataFolder.empty()
                             ? dataFolderFor(platform::executableFolder(), VZRM_BUILD_DATA)
                             : options.dataFolder;
    if (folder.back() != '/') folder += '/';
    return folder;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    std::string error;
    if (!parseOptions(argc, argv, options, error)) {
        say(error);
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (int code = answerWithoutWindow(options); code >= 0) return code;

    // A WAV file that cannot be played is refused before any window opens.
    AudioSource music;
    if (!options.wav.empty() && !music.loadWav(options.wav, error)) {
        say(error);
        return 2;
    }
    const UserFolders user = userFolders(std::getenv("XDG_CONFIG_HOME"), std::getenv("XDG_DATA_HOME"),
                                         std::getenv("XDG_STATE_HOME"), std::getenv("HOME"));
    const std::string dataFolder = dataFolderOf(options);

    // The window opens where the last run's was (a missing or bad file: the defaults).
    WindowPlace remembered;
    readWindowPlace(user.windowFile(), remembered);
    GlWindow window;
    if (int code = window.open(options, remembered); code != 0) return code;
    // The scene's run ends (and releases what lives in the context) before the window closes.
    const int code = SceneRun(window, options, music, dataFolder, user).run();
    if (!user.windowFile().empty() && !writeWindowPlace(user.windowFile(), window.place()))
        say("cannot write " + user.windowFile() + "; the window's place is not remembered");
    return code;
}
