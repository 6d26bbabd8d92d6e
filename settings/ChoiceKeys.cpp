#include "settings/ChoiceKeys.h"

#include <algorithm>

#include "settings/Choices.h"

namespace {

// What each key steps: the part's on/off key, the key of its value, or both, by name in the
// settings' key table.
struct KeyStep {
    char key;
    const char* label;
    const char* onOff;  // null: the value has no "off"
    const char* value;  // null: the key only switches the part on and off
};
constexpr KeyStep kSteps[] = {
    {'O', "Oscilloscope", "oscOnOff", "oscType"},
    {'M', "Rendering", nullptr, "oscRenderingMode"},
    {'R', "Sampling", nullptr, "oscSamplingRate"},
    {'V', "Meter", "vumOnOff", "vumType"},
    {'C', "Camera", nullptr, "camPosition"},
    {'B', "Skybox", "bgrOnOff", "bgrName"},
    {'N', "Model", "mdlOnOff", "mdlName"},
    {'E', "Model effect", "mdlEffectsOnOff", "mdlEffectsType"},
    {'D', "Live texture", "mdlDynamicTextureOnOff", nullptr},
    {'L', "Lights", "lhtOnOff", nullptr},
    {'T', "Feathers", "tofOnOff", nullptr},
};

// Steps through the list, with "off" as one more position before the first value when the
// part has an on/off switch; returns what it chose.
std::string step(Settings& s, const SettingKey* onOffKey, const SettingKey& valueKey,
                 const std::vector<std::string>& list, bool back) {
    const std::string& value = valueKey.text(s);
    const int offset = onOffKey ? 1 : 0;  // position 0 is "off" where there is one
    const int count = static_cast<int>(list.size()) + offset;
    if (count == 0) return value;
    auto found = std::find(list.begin(), list.end(), value);
    int position;
    if (onOffKey && !(s.*onOffKey->unsignedField)) position = 0;
    // A name that is not on the list (hand-edited, or its folder gone) steps to the first.
    else if (found == list.end()) position = back ? offset : offset - 1;
    else position = static_cast<int>(found - list.begin()) + offset;
    position = (position % count + (back ? count - 1 : 1)) % count;
    if (onOffKey) s.*onOffKey->unsignedField = position == 0 ? 0 : 1;
    if (onOffKey && position == 0) return "off";
    valueKey.setText(s, list[static_cast<size_t>(position - offset)]);
    return valueKey.text(s);
}

const char* onOff(uint32_t value) { return value ? "on" : "off"; }

}  // namespace

std::string applyChoiceKey(char key, bool shift, Settings& s, const AssetNames& names) {
    if (key == 'S') {
        const uint32_t steps = choices::kMaxStroboscope + 1;
        uint32_t now = std::min(s.lhtStroboscope, choices::kMaxStroboscope);
        s.lhtStroboscope = (now + (shift ? steps - 1 : 1)) % steps;
        return "Stroboscope: " + (s.lhtStroboscope ? std::to_string(s.lhtStroboscope) : "off");
    }
    for (const KeyStep& k : kSteps) {
        if (k.key != key) continue;
        const SettingKey* onOffKey = k.onOff ? findSettingKey(k.onOff) : nullptr;
        if (!k.value) {
            uint32_t& on = s.*onOffKey->unsignedField;
            on = on ? 0 : 1;
            return std::string(k.label) + ": " + onOff(on);
        }
        const SettingKey& valueKey = *findSettingKey(k.value);
        // Choices come from the key's own list; skies and models from the folders found.
        std::vector<std::string> list(valueKey.choices.begin(), valueKey.choices.end());
        if (valueKey.choices.count == 0)
            list = std::string(k.value) == "bgrName" ? names.skyboxes : names.models;
        return std::string(k.label) + ": " + step(s, onOffKey, valueKey, list, shift);
    }
    return {};
}

const std::vector<std::string>& choiceKeyHelp() {
    static const std::vector<std::string> lines = {
        "O  oscilloscope type / off",   "M  rendering mode",
        "R  sampling rate",             "V  meter type / off",
        "C  camera",                    "B  next skybox / off",
        "N  next model / off",          "E  model effect / off",
        "D  live model texture",        "L  lights",
        "S  stroboscope steps",         "T  feathers",
        "SHIFT  steps back",
    };
    return lines;
}

std::vector<std::string> currentChoices(const Settings& s) {
    auto named = [](uint32_t on, const std::string& name) {
        return on ? (name.empty() ? std::string("on") : name) : std::string("off");
    };
    return {
        "Oscilloscope: " + named(s.oscOnOff, s.oscType.text()) + ", " +
            s.oscRenderingMode.text() + ", " + s.oscSamplingRate.text(),
        "Meter: " + named(s.vumOnOff, s.vumType.text()),
        "Camera: " + s.camPosition.text(),
        "Skybox: " + named(s.bgrOnOff, s.bgrName.text()),
        "Model: " + named(s.mdlOnOff, s.mdlName.text()) + ", effect " +
            named(s.mdlEffectsOnOff, s.mdlEffectsType.text()) + ", live texture " +
            onOff(s.mdlDynamicTextureOnOff),
        std::string("Lights: ") + onOff(s.lhtOnOff) + ", stroboscope " +
            (s.lhtStroboscope ? std::to_string(s.lhtStroboscope) : std::string("off")) +
            ", feathers " + onOff(s.tofOnOff),
    };
}
