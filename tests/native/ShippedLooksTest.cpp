// Our looks as the build stages them: each a settings file of the picture's 25 keys, every value
// one the settings file takes, naming skies and models we ship, the stroboscope off, and no two
// alike.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "settings/Settings.h"
#include "tests/native/TestFiles.h"

namespace fs = std::filesystem;

namespace {

const std::string kPlugin = std::string(VZRM_TEXTURE_FOLDER) + "/";

// The keys that shape the picture, and only they: no window, resolution or texture depth.
const std::set<std::string> kLookKeys = {
    "tofOnOff",        "vumOnOff",         "vumType",          "oscOnOff",
    "oscRotate",       "oscType",          "oscSamplingRate",  "oscRenderingMode",
    "bgrOnOff",        "bgrName",          "mdlOnOff",         "mdlBeat",
    "mdlEffectsOnOff", "mdlEffectsType",   "mdlDynamicTextureOnOff", "mdlName",
    "mdlColorMap",     "camPosition",      "lhtOnOff",         "lhtRotate",
    "lhtStroboscope",  "lhtAmbient",       "lhtDiffuse",       "lhtSpecularLeft",
    "lhtSpecularRight"};

using Keys = std::map<std::string, std::string>;

// The keys of the one section "[Vizorama]"; a second section, a line that is no key, or a key
// given twice is a fault.
Keys readLook(const std::string& text) {
    Keys keys;
    std::istringstream lines(text);
    std::string line;
    bool inSection = false;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line[0] == '[') {
            EXPECT_FALSE(inSection) << "a second section: " << line;
            EXPECT_EQ(line, "[Vizorama]");
            inSection = true;
            continue;
        }
        size_t equals = line.find('=');
        EXPECT_TRUE(inSection && equals != std::string::npos) << line;
        if (equals == std::string::npos) continue;
        EXPECT_TRUE(keys.emplace(line.substr(0, equals), line.substr(equals + 1)).second)
            << "twice: " << line;
    }
    return keys;
}

std::map<std::string, Keys> shippedLooks() {
    std::map<std::string, Keys> looks;
    for (const auto& entry : fs::directory_iterator(kPlugin + "Looks"))
        if (entry.is_regular_file() && entry.path().extension() == ".ini")
            looks[entry.path().stem().string()] = readLook(readTextFile(entry.path().string()));
    return looks;
}

}  // namespace

TEST(ShippedLooks, AreStagedFromTheSourceFolderAsTheyAre) {
    std::set<std::string> sources;
    for (const auto& entry : fs::directory_iterator(VZRM_LOOK_SOURCES)) {
        std::string name = entry.path().filename().string();
        sources.insert(name);
        EXPECT_EQ(readTextFile(kPlugin + "Looks/" + name), readTextFile(entry.path().string()))
            << name;
    }
    std::set<std::string> staged;
    for (const auto& entry : fs::directory_iterator(kPlugin + "Looks"))
        if (entry.is_regular_file()) staged.insert(entry.path().filename().string());
    EXPECT_EQ(staged, sources);
    EXPECT_GE(sources.size(), 16u);
}

TEST(ShippedLooks, HoldThePicturesKeysWithValuesTheSettingsFileTakesAndTheStroboscopeOff) {
    const std::regex onOff("[01]"), colour("0x00[0-9a-f]{6}");
    ScratchFolder scratch;
    for (const auto& [name, keys] : shippedLooks()) {
        SCOPED_TRACE(name);
        std::set<std::string> present;
        for (const auto& [key, value] : keys) present.insert(key);
        EXPECT_EQ(present, kLookKeys);
        // Flashing light can trigger seizures: none of ours may bring the stroboscope.
        EXPECT_EQ(keys.count("lhtStroboscope") ? keys.at("lhtStroboscope") : "", "0");
        for (const auto& [key, value] : keys) {
            const SettingKey* k = findSettingKey(key);
            ASSERT_NE(k, nullptr) << key;
            if (k->kind == KeyKind::Colour) {
                EXPECT_TRUE(std::regex_match(value, colour)) << key << "=" << value;
            } else if (k->kind == KeyKind::Unsigned && key != "lhtStroboscope") {
                EXPECT_TRUE(std::regex_match(value, onOff)) << key << "=" << value;
            } else if (k->kind == KeyKind::Text && k->choices.count > 0) {
                EXPECT_LT(k->choices.find(value), k->choices.count) << key << "=" << value;
            }
        }
        // The sky and the model are ours, whole.
        const std::string sky = kPlugin + "Skyboxes/" + keys.at("bgrName") + "/";
        for (const char* face : {"Left", "Right", "Back", "Front", "Up", "Down"})
            EXPECT_TRUE(fs::is_regular_file(sky + face + ".tga")) << sky << face;
        EXPECT_TRUE(fs::is_regular_file(kPlugin + "Models/" + keys.at("mdlName") + "/Model.ase"))
            << keys.at("mdlName");

        // Read as a settings file and written again, every value comes back as it was.
        const std::string look = kPlugin + "Looks/" + name + ".ini";
        const std::string again = scratch.path() + "again.ini";
        Settings settings;
        ASSERT_TRUE(settings.readFile(look, kSettingsSection));
        ASSERT_TRUE(settings.writeFile(again, kSettingsSection));
        Keys written = readLook(readTextFile(again));
        for (const auto& [key, value] : keys) EXPECT_EQ(written[key], value) << key;
        fs::remove(again);
    }
}

TEST(ShippedLooks, DifferFromEachOtherInSeveralKeys) {
    const auto looks = shippedLooks();
    for (auto a = looks.begin(); a != looks.end(); ++a)
        for (auto b = std::next(a); b != looks.end(); ++b) {
            int differ = 0;
            for (const auto& [key, value] : a->second) differ += b->second.count(key) == 0 ||
                                                                b->second.at(key) != value;
            EXPECT_GE(differ, 5) << a->first << " and " << b->first;
        }
}
