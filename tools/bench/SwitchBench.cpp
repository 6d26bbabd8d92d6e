// What a start and a change of model or sky cost, natively in the off-screen renderer (the
// plug-in's scene code without Wine or a window system): the scene's set-up, its first frame,
// each settings change to the frame that shows it (every frame finished with glFinish), and the
// release of everything it holds. For perf and strace, which see the scene code directly.
//   vzrm_switch_bench --install DIR [--size WxH] [--between N] [--repeat N]
//                     [--switch NAME:KEY=VALUE[,KEY=VALUE...]]... [--preload 1]
//                     [--look-changes N]
// DIR is a player folder laid out like an installation, with its settings file in place; the
// switches rewrite that file. Each repeat starts from the file as it was. With --preload 1 the
// model and sky a switch names are read ahead (preloadAssets) as the frames before it begin, as
// a look changer does. Prints, a repeat:
//   start_ms=S first_frame_ms=F plain_frame_ms=P longest_plain_ms=L switch:NAME=T ... release_ms=R
// (P the median of the frames between the switches, L the longest of them).
// With --look-changes N the settings file's own automatic look changes are timed instead of the
// switches: the looks' clock runs so that the timer (lookSeconds) falls every `between` frames,
// and each change prints look:NAME=T/P: T for the frame that made it, P the median frame of the
// look after it (the next change's frame excluded).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "audio/AudioSource.h"
#include "settings/ProfileFile.h"
#include "settings/Settings.h"
#include "scene/Scene.h"
#include "tools/render/HeadlessRenderer.h"

namespace {

struct Switch {
    std::string name;
    std::vector<std::pair<std::string, std::string>> keys;
};

bool parseSwitch(const std::string& text, Switch& out) {
    const size_t colon = text.find(':');
    if (colon == 0 || colon == std::string::npos) return false;
    out.name = text.substr(0, colon);
    for (size_t at = colon + 1; at <= text.size();) {
        size_t end = std::min(text.find(',', at), text.size());
        const std::string pair = text.substr(at, end - at);
        const size_t equals = pair.find('=');
        if (equals == 0 || equals == std::string::npos) return false;
        out.keys.emplace_back(pair.substr(0, equals), pair.substr(equals + 1));
        at = end + 1;
    }
    return true;
}

// The looks' clock in the frames drawn: lookSeconds pass in `between` frames.
double gLookClock = 0;
double lookClock() { return gLookClock; }

double msSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

}  // namespace

int main(int argc, char** argv) {
    std::string install;
    int width = 1024, height = 768;
    long between = 5, repeat = 1;
    bool preload = false;
    long lookChanges = 0;
    std::vector<Switch> switches;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string option = argv[i], value = argv[i + 1];
        Switch change;
        if (option == "--install") install = value;
        else if (option == "--size") std::sscanf(value.c_str(), "%dx%d", &width, &height);
        else if (option == "--between") between = std::atol(value.c_str());
        else if (option == "--repeat") repeat = std::atol(value.c_str());
        else if (option == "--preload") preload = value == "1";
        else if (option == "--look-changes") lookChanges = std::atol(value.c_str());
        else if (option == "--switch" && parseSwitch(value, change)) switches.push_back(change);
        else install.clear(), i = argc;
    }
    if (install.empty() || width <= 0 || height <= 0 || between < 1 || repeat < 1) {
        std::fprintf(stderr, "usage: vzrm_switch_bench --install DIR [--size WxH] [--between N] "
                             "[--repeat N] [--switch NAME:KEY=VALUE[,KEY=VALUE...]]... [--preload 1] "
                             "[--look-changes N]\n");
        return 2;
    }
    if (install.back() != '/') install += '/';
    const std::string settingsPath = install + "Plugins/vis_vzrm/Configurations/vis_vzrm_config.ini";
    ProfileFile original;
    original.load(settingsPath);

    AudioSource audio;
    unsigned char waveform[2][kWaveformSamples];
    for (long r = 0; r < repeat; ++r) {
        original.save(settingsPath);
        auto* renderer = new HeadlessRenderer(install, width, height);
        if (!renderer->ok()) {
            std::fprintf(stderr, "vzrm_switch_bench: cannot create an off-screen OpenGL context\n");
            return 1;
        }
        long frame = 0;
        renderer->scene.looks.setClock(lookClock);
        gLookClock = 0;
        auto draw = [&] {
            gLookClock += renderer->scene.settings ? renderer->scene.settings->lookSeconds / double(between) : 0;
            audio.fillBlock(static_cast<double>(frame++) * 25.0, waveform);
            renderer->frame(waveform);
            glFinish();
        };
        auto start = std::chrono::steady_clock::now();
        renderer->start();
        const double startMs = msSince(start);
        // The plug-in writes every key at start-up; frames then read a complete file.
        renderer->scene.settings->writeFile(renderer->settingsFile, kSettingsSection);
        draw();
        const double firstMs = msSince(start);
        std::vector<double> plain;
        std::string line;
        std::string changeName;
        double changeMs = 0;
        std::vector<double> lookFrames;
        auto endLook = [&] {
            if (changeName.empty() || lookFrames.empty()) return;
            std::nth_element(lookFrames.begin(), lookFrames.begin() + lookFrames.size() / 2,
                             lookFrames.end());
            char text[200];
            std::snprintf(text, sizeof text, " look:%s=%.1f/%.1f", changeName.c_str(), changeMs,
                          lookFrames[lookFrames.size() / 2]);
            line += text;
        };
        while (lookChanges > 0 && frame < (lookChanges + 2) * between * 2) {
            const int changes = renderer->scene.looks.changes();
            auto t = std::chrono::steady_clock::now();
            draw();
            const double ms = msSince(t);
            if (renderer->scene.looks.changes() == changes) {
                plain.push_back(ms);
                lookFrames.push_back(ms);
                continue;
            }
            endLook();
            if (renderer->scene.looks.changes() > lookChanges) break;
            // Looks are named in the file by the same words with spaces; the line keeps one
            // field a change.
            changeName = renderer->scene.settings->lookName.text();
            std::replace(changeName.begin(), changeName.end(), ' ', '_');
            changeMs = ms;
            lookFrames.clear();
        }
        for (const Switch& change : switches) {
            if (preload) {
                std::string model, sky;
                for (const auto& [key, value] : change.keys) {
                    if (key == "mdlName") model = value;
                    if (key == "bgrName") sky = value;
                }
                preloadAssets(renderer->scene, *renderer, model, sky);
            }
            for (long i = 0; i < between; ++i) {
                auto t = std::chrono::steady_clock::now();
                draw();
                plain.push_back(msSince(t));
            }
            ProfileFile file;
            file.load(settingsPath);
            for (const auto& [key, value] : change.keys) file.set(kSettingsSection, key, value);
            file.save(settingsPath);
            auto t = std::chrono::steady_clock::now();
            draw();
            char text[128];
            std::snprintf(text, sizeof text, " switch:%s=%.1f", change.name.c_str(), msSince(t));
            line += text;
        }
        double plainMs = 0, longestMs = 0;
        for (double ms : plain) longestMs = std::max(longestMs, ms);
        if (!plain.empty()) {
            std::nth_element(plain.begin(), plain.begin() + plain.size() / 2, plain.end());
            plainMs = plain[plain.size() / 2];
        }
        start = std::chrono::steady_clock::now();
        delete renderer;
        std::printf("start_ms=%.1f first_frame_ms=%.1f plain_frame_ms=%.1f longest_plain_ms=%.1f%s "
                    "release_ms=%.1f\n",
                    startMs, firstMs, plainMs, longestMs, line.c_str(), msSince(start));
        std::fflush(stdout);
    }
    original.save(settingsPath);
    return 0;
}
