#include "linux/Looks.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <set>

#include "settings/Choices.h"

namespace {

// Steps through "off", then each value: onOff and value together name the position.
std::string stepWithOff(uint32_t& onOff, std::string& value, const std::vector<std::string>& list,
                        bool back) {
    const int count = static_cast<int>(list.size()) + 1;  // position 0 is "off"
    int position = 0;
    if (onOff) {
        auto found = std::find(list.begin(), list.end(), value);
        // A name that is not on the list (hand-edited, or its folder gone) steps to the first.
        position = found == list.end() ? (back ? 1 : 0) : static_cast<int>(found - list.begin()) + 1;
    }
    position = (position + (back ? count - 1 : 1)) % count;
    onOff = position == 0 ? 0 : 1;
    if (position > 0) value = list[static_cast<size_t>(position - 1)];
    return position == 0 ? "off" : value;
}

std::string step(std::string& value, const std::vector<std::string>& list, bool back) {
    if (list.empty()) return value;
    auto found = std::find(list.begin(), list.end(), value);
    const int count = static_cast<int>(list.size());
    int position = found == list.end() ? (back ? 0 : -1) : static_cast<int>(found - list.begin());
    position = (position + (back ? count - 1 : 1)) % count;
    value = list[static_cast<size_t>(position)];
    return value;
}

std::string toggle(uint32_t& onOff) {
    onOff = onOff ? 0 : 1;
    return onOff ? "on" : "off";
}

template <size_t N>
std::vector<std::string> listOf(const char* const (&names)[N]) {
    return std::vector<std::string>(names, names + N);
}

const char* onOff(uint32_t value) { return value ? "on" : "off"; }

}  // namespace

std::string applyLookKey(char key, bool shift, Settings& s, const AssetNames& names) {
    switch (key) {
        case 'O':
            return "Oscilloscope: " +
                   stepWithOff(s.oscOnOff, s.oscType, listOf(choices::kOscilloscopeTypes), shift);
        case 'M':
            return "Rendering: " + step(s.oscRenderingMode, listOf(choices::kRenderingModes), shift);
        case 'R':
            return "Sampling: " + step(s.oscSamplingRate, listOf(choices::kSamplingRates), shift);
        case 'V':
            return "Meter: " + stepWithOff(s.vumOnOff, s.vumType, listOf(choices::kVuMeterTypes), shift);
        case 'C':
            return "Camera: " + step(s.camPosition, listOf(choices::kCameraMotions), shift);
        case 'B':
            return "Skybox: " + stepWithOff(s.bgrOnOff, s.bgrName, names.skyboxes, shift);
        case 'N':
            return "Model: " + stepWithOff(s.mdlOnOff, s.mdlName, names.models, shift);
        case 'E':
            return "Model effect: " +
                   stepWithOff(s.mdlEffectsOnOff, s.mdlEffectsType, listOf(choices::kModelEffects), shift);
        case 'D':
            return "Live texture: " + toggle(s.mdlDynamicTextureOnOff);
        case 'L':
            return "Lights: " + toggle(s.lhtOnOff);
        case 'S': {
            const uint32_t steps = choices::kMaxStroboscope + 1;
            uint32_t now = std::min(s.lhtStroboscope, choices::kMaxStroboscope);
            s.lhtStroboscope = (now + (shift ? steps - 1 : 1)) % steps;
            return "Stroboscope: " + (s.lhtStroboscope ? std::to_string(s.lhtStroboscope) : "off");
        }
        case 'T':
            return "Feathers: " + toggle(s.tofOnOff);
        default:
            return {};
    }
}

const std::vector<std::string>& keyHelp() {
    static const std::vector<std::string> lines = {
        "O  oscilloscope type / off",   "M  rendering mode",
        "R  sampling rate",             "V  meter type / off",
        "C  camera",                    "B  next skybox / off",
        "N  next model / off",          "E  model effect / off",
        "D  live model texture",        "L  lights",
        "S  stroboscope steps",         "T  feathers",
        "SHIFT  steps back",            "F  full screen (or double click)",
        "H  this help",                 "ESC  leave full screen, quit",
    };
    return lines;
}

std::vector<std::string> currentChoices(const Settings& s) {
    auto named = [](uint32_t on, const std::string& name) {
        return on ? (name.empty() ? std::string("on") : name) : std::string("off");
    };
    return {
        "Oscilloscope: " + named(s.oscOnOff, s.oscType) + ", " + s.oscRenderingMode + ", " +
            s.oscSamplingRate,
        "Meter: " + named(s.vumOnOff, s.vumType),
        "Camera: " + s.camPosition,
        "Skybox: " + named(s.bgrOnOff, s.bgrName),
        "Model: " + named(s.mdlOnOff, s.mdlName) + ", effect " +
            named(s.mdlEffectsOnOff, s.mdlEffectsType) + ", live texture " +
            onOff(s.mdlDynamicTextureOnOff),
        std::string("Lights: ") + onOff(s.lhtOnOff) + ", stroboscope " +
            (s.lhtStroboscope ? std::to_string(s.lhtStroboscope) : std::string("off")) +
            ", feathers " + onOff(s.tofOnOff),
    };
}

std::vector<std::string> folderNames(const std::vector<std::string>& folders) {
    std::set<std::string> names;
    for (const std::string& folder : folders) {
        if (folder.empty()) continue;
        DIR* dir = opendir(folder.c_str());
        if (!dir) continue;
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name == "." || name == "..") continue;
            struct stat st;
            if (stat((folder + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode)) names.insert(name);
        }
        closedir(dir);
    }
    return {names.begin(), names.end()};
}
