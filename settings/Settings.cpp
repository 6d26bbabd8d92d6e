#include "settings/Settings.h"

#include <cstdio>
#include <iterator>
#include <type_traits>
#include <utility>

#include "platform/Platform.h"
#include "settings/ProfileFile.h"

namespace {

// Single-precision constant nearest to 1/255.
constexpr float kByteToUnit = 0.003921569f;

// Strings are read through a buffer of this many characters, terminator included.
constexpr size_t kValueBuffer = 260;
constexpr size_t kPathBuffer = 260;

std::string format(const char* fmt, long value) {
    char text[32];
    std::snprintf(text, sizeof text, fmt, value);
    return text;
}

std::string formatUnsigned(const char* fmt, uint32_t value) {
    char text[32];
    std::snprintf(text, sizeof text, fmt, static_cast<unsigned long>(value));
    return text;
}


SettingKey numberKey(const char* name, KeyKind kind, uint32_t missing, uint32_t fresh) {
    SettingKey k;
    k.name = name;
    k.kind = kind;
    k.missingNumber = missing;
    k.freshNumber = fresh;
    return k;
}

SettingKey signedKey(const char* name, KeyKind kind, int32_t Settings::*field, int32_t missing,
                     int32_t fresh, bool geometry = false) {
    SettingKey k = numberKey(name, kind, static_cast<uint32_t>(missing), static_cast<uint32_t>(fresh));
    k.signedField = field;
    k.geometry = geometry;
    return k;
}

SettingKey unsignedKey(const char* name, uint32_t Settings::*field, uint32_t missing,
                       uint32_t fresh) {
    SettingKey k = numberKey(name, KeyKind::Unsigned, missing, fresh);
    k.unsignedField = field;
    return k;
}

SettingKey colourKey(const char* name, uint32_t Settings::*packed, Rgb Settings::*rgb,
                     uint32_t value) {
    SettingKey k = numberKey(name, KeyKind::Colour, value, value);
    k.unsignedField = packed;
    k.colourField = rgb;
    return k;
}

template <auto Field>
SettingKey textKey(const char* name, const char* missing, const char* fresh) {
    SettingKey k;
    k.name = name;
    k.kind = KeyKind::Text;
    k.missingText = missing;
    k.freshText = fresh;
    k.text = [](const Settings& s) -> const std::string& { return (s.*Field).text(); };
    k.setText = [](Settings& s, std::string_view value) { s.*Field = value; };
    k.choices = std::remove_reference_t<decltype(std::declval<Settings&>().*Field)>::names();
    return k;
}

// A key that a look holds, and one only the look features write.
SettingKey inLook(SettingKey k) {
    k.look = true;
    return k;
}
SettingKey lookFeature(SettingKey k) {
    k.lookFeature = true;
    return k;
}
SettingKey ranged(SettingKey k, uint32_t lowest, uint32_t highest) {
    k.lowest = lowest;
    k.highest = highest;
    return k;
}

#define VZRM_SIGNED(field, ...) signedKey(#field, KeyKind::Signed, &Settings::field, __VA_ARGS__)
#define VZRM_UNSIGNED(field, ...) unsignedKey(#field, &Settings::field, __VA_ARGS__)
#define VZRM_COLOUR(field, rgb, value) colourKey(#field, &Settings::field, &Settings::rgb, value)
#define VZRM_TEXT(field, ...) textKey<&Settings::field>(#field, __VA_ARGS__)

// Each key: the value a file without it reads as, then a new record's value. The two differ
// for some keys: a new record holds what the utility shows first, a missing key what the
// frames have always taken for it. Made at the first use, so that a record constructed before
// this file's statics (a static record of another file) finds it ready.
SettingKeyList keyTable() {
    static const SettingKey kKeys[] = {
        signedKey("vzrVersion", KeyKind::Version, &Settings::vzrVersion, 0, kSettingsVersion),
        VZRM_SIGNED(dimLeft, 0, 0, true),
        VZRM_SIGNED(dimTop, 0, 0, true),
        VZRM_SIGNED(dimWidth, 275, 275, true),
        VZRM_SIGNED(dimHeight, 116, 116, true),
        VZRM_TEXT(dimResolution, "1x1", "1x1"),
        inLook(VZRM_UNSIGNED(tofOnOff, 0, 0)),
        inLook(VZRM_UNSIGNED(vumOnOff, 1, 1)),
        inLook(VZRM_TEXT(vumType, "Double Fixed Point", "Double Fixed Point")),
        inLook(VZRM_UNSIGNED(oscOnOff, 1, 1)),
        inLook(VZRM_UNSIGNED(oscRotate, 0, 1)),
        inLook(VZRM_TEXT(oscType, "Waveform", "Waveform")),
        inLook(VZRM_TEXT(oscSamplingRate, "1x3", "1x3")),
        inLook(VZRM_TEXT(oscRenderingMode, "Water", "Water")),
        inLook(VZRM_UNSIGNED(bgrOnOff, 0, 0)),
        inLook(VZRM_TEXT(bgrName, "Late Afternoon", "")),
        inLook(VZRM_UNSIGNED(mdlOnOff, 0, 0)),
        inLook(VZRM_UNSIGNED(mdlBeat, 1, 1)),
        inLook(VZRM_UNSIGNED(mdlEffectsOnOff, 0, 1)),
        inLook(VZRM_TEXT(mdlEffectsType, "Ghost", "Ghost")),
        inLook(VZRM_UNSIGNED(mdlDynamicTextureOnOff, 1, 0)),
        inLook(VZRM_TEXT(mdlColorMap, "RGB", "RGB")),
        inLook(VZRM_TEXT(mdlName, "Vizorama", "")),
        inLook(VZRM_TEXT(camPosition, "Spin", "Spin")),
        VZRM_UNSIGNED(texBits, 16, 16),
        inLook(VZRM_UNSIGNED(lhtOnOff, 0, 0)),
        inLook(VZRM_UNSIGNED(lhtRotate, 1, 1)),
        inLook(VZRM_UNSIGNED(lhtStroboscope, 0, 0)),
        inLook(VZRM_COLOUR(lhtAmbient, ambientRgb, 0x3f7fff)),
        inLook(VZRM_COLOUR(lhtDiffuse, diffuseRgb, 0x3f3f3f)),
        inLook(VZRM_COLOUR(lhtSpecularLeft, specularLeftRgb, 0x00ff00)),
        inLook(VZRM_COLOUR(lhtSpecularRight, specularRightRgb, 0xff7f00)),
        lookFeature(VZRM_TEXT(lookName, "", "")),
        lookFeature(VZRM_TEXT(lookChange, "Off", "Off")),
        lookFeature(ranged(VZRM_UNSIGNED(lookSeconds, 30, 30), 5, 600)),
        lookFeature(VZRM_TEXT(lookOrder, "Shuffle", "Shuffle")),
    };
    return {kKeys, std::size(kKeys)};
}

#undef VZRM_SIGNED
#undef VZRM_UNSIGNED
#undef VZRM_COLOUR
#undef VZRM_TEXT

}  // namespace

SettingKeyList settingKeys() { return keyTable(); }

const SettingKey* findSettingKey(std::string_view name) {
    for (const SettingKey& k : keyTable())
        if (name == k.name) return &k;
    return nullptr;
}

bool inKeySet(const SettingKey& k, KeySet keys) {
    switch (keys) {
        case KeySet::Player: return !k.lookFeature;
        case KeySet::Look: return k.look;
        case KeySet::LookAndName: return k.look || std::string_view(k.name) == "lookName";
        case KeySet::LookFeatures: return k.lookFeature;
        case KeySet::All: return true;
    }
    return false;
}

namespace {

// A number key's value as a write stores it (a colour from its unpacked colour).
uint32_t storedNumber(const Settings& s, const SettingKey& k) {
    switch (k.kind) {
        case KeyKind::Version:
        case KeyKind::Signed: return static_cast<uint32_t>(s.*k.signedField);
        case KeyKind::Unsigned: return s.*k.unsignedField;
        case KeyKind::Colour: {
            const Rgb& rgb = s.*k.colourField;
            return packColour(rgb.r, rgb.g, rgb.b);
        }
        case KeyKind::Text: break;
    }
    return 0;
}

}  // namespace

bool sameKeys(const Settings& a, const Settings& b, KeySet keys) {
    for (const SettingKey& k : keyTable()) {
        if (!inKeySet(k, keys)) continue;
        if (k.kind == KeyKind::Text ? k.text(a) != k.text(b) : storedNumber(a, k) != storedNumber(b, k))
            return false;
    }
    return true;
}

void copyKeys(Settings& to, const Settings& from, KeySet keys) {
    for (const SettingKey& k : keyTable()) {
        if (!inKeySet(k, keys)) continue;
        switch (k.kind) {
            case KeyKind::Version:
            case KeyKind::Signed: to.*k.signedField = from.*k.signedField; break;
            case KeyKind::Unsigned: to.*k.unsignedField = from.*k.unsignedField; break;
            case KeyKind::Colour:
                to.*k.colourField = from.*k.colourField;
                to.*k.unsignedField = storedNumber(from, k);
                break;
            case KeyKind::Text: k.setText(to, k.text(from)); break;
        }
    }
}

LookChange Settings::lookChangeMode() const {
    return lookChange.value() == LookChange::Unknown ? LookChange::Off : lookChange.value();
}

LookOrder Settings::lookOrderMode() const {
    return lookOrder.value() == LookOrder::Unknown ? LookOrder::Shuffle : lookOrder.value();
}

Rgb unpackColour(uint32_t packed) {
    Rgb c;
    c.r = static_cast<float>(packed & 0xFF) * kByteToUnit;
    c.g = static_cast<float>((packed >> 8) & 0xFF) * kByteToUnit;
    c.b = static_cast<float>((packed >> 16) & 0xFF) * kByteToUnit;
    return c;
}

uint32_t packColour(float r, float g, float b) {
    auto byte = [](float v) {
        return static_cast<uint32_t>(static_cast<int32_t>(static_cast<double>(v) * 255.0)) & 0xFF;
    };
    return byte(r) | byte(g) << 8 | byte(b) << 16;
}

std::string pathBesideExecutable(const std::string& relativePath) {
    std::string folder = platform::executableFolder();
    if (folder.empty()) return {};
    std::string path = folder + relativePath;
    return path.size() < kPathBuffer ? path : std::string();
}

Settings::Settings() { reset(); }

void Settings::reset() {
    for (const SettingKey& k : keyTable()) {
        switch (k.kind) {
            case KeyKind::Version:
            case KeyKind::Signed: this->*k.signedField = static_cast<int32_t>(k.freshNumber); break;
            case KeyKind::Unsigned:
            case KeyKind::Colour: this->*k.unsignedField = k.freshNumber; break;
            case KeyKind::Text: k.setText(*this, k.freshText); break;
        }
    }
    unpackColours();
}

void Settings::unpackColours() {
    ambientRgb = unpackColour(lhtAmbient);
    diffuseRgb = unpackColour(lhtDiffuse);
    specularLeftRgb = unpackColour(lhtSpecularLeft);
    specularRightRgb = unpackColour(lhtSpecularRight);
}

bool Settings::read(const std::string& relativePath, const std::string& section) {
    return readFile(pathBesideExecutable(relativePath), section);
}

bool Settings::write(const std::string& relativePath, const std::string& section) {
    return writeFile(pathBesideExecutable(relativePath), section);
}

bool Settings::readFile(const std::string& path, const std::string& section) {
    SettingsReadCache cache;
    return readFile(path, section, cache);
}

bool Settings::readFile(const std::string& path, const std::string& section,
                        SettingsReadCache& cache) {
    ProfileFile& file = cache.file;
    if (path.empty()) {
        file.parse({});
    } else {
        if (cache.path != path) {
            cache.path = path;
            cache.nativePath = platform::nativePath(path);
        }
        if (file.load(cache.nativePath) == platform::ReadResult::Failed)
            return false;  // keep the values we have rather than fall back to defaults for one read
    }

    const bool firstRead = dimFirstRead;
    dimFirstRead = false;
    for (const SettingKey& k : keyTable()) {
        if (k.geometry && !firstRead) continue;
        switch (k.kind) {
            case KeyKind::Version:
            case KeyKind::Signed:
                this->*k.signedField =
                    static_cast<int32_t>(file.getInt(section, k.name, k.missingNumber));
                break;
            case KeyKind::Unsigned:
            case KeyKind::Colour: {
                uint32_t value = file.getInt(section, k.name, k.missingNumber);
                if (k.highest > 0 && (value < k.lowest || value > k.highest)) value = k.missingNumber;
                this->*k.unsignedField = value;
                break;
            }
            case KeyKind::Text:
                // Assigned into the fields' own buffers, which keep their size between reads.
                k.setText(*this, file.value(section, k.name, k.missingText, kValueBuffer));
                break;
        }
    }
    unpackColours();
    return true;
}

bool Settings::writeFile(const std::string& fullPath, const std::string& section) {
    return writeFile(fullPath, section, KeySet::Player);
}

bool Settings::writeFile(const std::string& fullPath, const std::string& section, KeySet keys) {
    if (fullPath.empty()) return false;
    std::string path = platform::nativePath(fullPath);
    ProfileFile file;
    // Never replace a file we could not read: its other contents would be lost.
    if (file.load(path) == platform::ReadResult::Failed) return false;

    for (const SettingKey& k : keyTable()) {
        if (!inKeySet(k, keys)) continue;
        switch (k.kind) {
            case KeyKind::Version: file.set(section, k.name, format("%ld", kSettingsVersion)); break;
            case KeyKind::Signed: file.set(section, k.name, format("%ld", this->*k.signedField)); break;
            case KeyKind::Unsigned:
                file.set(section, k.name, formatUnsigned("%lu", this->*k.unsignedField));
                break;
            case KeyKind::Colour: {
                const Rgb& rgb = this->*k.colourField;
                uint32_t& packed = this->*k.unsignedField;
                packed = packColour(rgb.r, rgb.g, rgb.b);
                file.set(section, k.name, formatUnsigned("%#0.8lx", packed));
                break;
            }
            case KeyKind::Text: file.set(section, k.name, k.text(*this)); break;
        }
    }
    return file.save(path);
}

void Settings::adoptChoicesFrom(const Settings& other) {
    const bool firstRead = dimFirstRead;
    const int32_t left = dimLeft, top = dimTop, width = dimWidth, height = dimHeight;
    *this = other;
    dimFirstRead = firstRead;
    dimLeft = left;
    dimTop = top;
    dimWidth = width;
    dimHeight = height;
}
