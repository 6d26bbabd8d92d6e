#pragma once
// The record of every user choice, mirrored key by key in the settings file that the plug-in
// and the configuration utility share.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/Choices.h"
#include "settings/ProfileFile.h"

// The settings file below the player's folder, and its one section.
inline constexpr const char* kSettingsFile =
    "Plugins\\vis_vzrm\\Configurations\\vis_vzrm_config.ini";
inline constexpr const char* kSettingsSection = "Vizorama";

// The version every write stores.
inline constexpr int32_t kSettingsVersion = 151;

struct Rgb {
    float r = 0, g = 0, b = 0;
};

// Packed colours are 0x00BBGGRR; bits 24-31 are ignored.
Rgb unpackColour(uint32_t packed);
uint32_t packColour(float r, float g, float b);

// What a reader that reads the same file again and again (every frame) keeps between reads, so
// that once warm a read allocates nothing: the file's text and lines, and its native path.
struct SettingsReadCache {
    ProfileFile file;
    std::string path;
    std::string nativePath;
};

struct SettingKey;

// Which keys a write stores.
enum class KeySet : uint8_t {
    Player,       // the 32 keys the player's own writes (start, stop, leaving full screen) store
    Look,         // the 25 keys that shape the picture: what a look file holds
    LookAndName,  // those and lookName: what a change of look writes
    LookFeatures, // lookName, lookChange, lookSeconds and lookOrder
    All,
};

class Settings {
public:
    Settings();

    // Every field but dimFirstRead back to a new record's value.
    void reset();

    // Fills the record from the file at the executable's folder + relativePath. A missing file,
    // section or key gives the defaults for missing keys; a file that exists but cannot be read
    // leaves the record as it was and returns false. The window geometry is taken only while
    // dimFirstRead is set.
    bool read(const std::string& relativePath, const std::string& section);

    // Writes the player's keys (every key but the look features') to the file at the
    // executable's folder + relativePath, keeping the rest of the file. Returns whether the file
    // was written; a file that exists but cannot be read is never replaced.
    bool write(const std::string& relativePath, const std::string& section);

    // The same for a file given by its full path; an empty path (one that did not fit) reads
    // as a missing file and is never written.
    bool readFile(const std::string& path, const std::string& section);
    bool readFile(const std::string& path, const std::string& section, SettingsReadCache& cache);
    bool writeFile(const std::string& path, const std::string& section);
    // The same for the keys of one set (see KeySet), in one replacement of the file.
    bool writeFile(const std::string& path, const std::string& section, KeySet keys);

    // Takes every field from other except the window geometry and dimFirstRead.
    void adoptChoicesFrom(const Settings& other);

    bool dimFirstRead = true;
    int32_t vzrVersion = kSettingsVersion;
    int32_t dimLeft = 0;
    int32_t dimTop = 0;
    int32_t dimWidth = 275;
    int32_t dimHeight = 116;
    Choice<WindowSize> dimResolution;
    uint32_t tofOnOff = 0;
    uint32_t vumOnOff = 0;
    Choice<VuMeterType> vumType;
    uint32_t oscOnOff = 0;
    uint32_t oscRotate = 0;
    Choice<OscilloscopeType> oscType;
    Choice<SamplingRate> oscSamplingRate;
    Choice<RenderingMode> oscRenderingMode;
    uint32_t bgrOnOff = 0;
    Choice<TextStamp> bgrName;
    uint32_t mdlOnOff = 0;
    uint32_t mdlBeat = 0;
    uint32_t mdlEffectsOnOff = 0;
    Choice<ModelEffect> mdlEffectsType;
    uint32_t mdlDynamicTextureOnOff = 0;
    Choice<TextStamp> mdlName;
    Choice<ColourMap> mdlColorMap;
    Choice<CameraMotion> camPosition;
    uint32_t texBits = 0;
    uint32_t lhtOnOff = 0;
    uint32_t lhtRotate = 0;
    uint32_t lhtStroboscope = 0;
    uint32_t lhtAmbient = 0;
    uint32_t lhtDiffuse = 0;
    uint32_t lhtSpecularLeft = 0;
    uint32_t lhtSpecularRight = 0;
    // Written only by the look features (the player's own writes leave them alone).
    Choice<TextStamp> lookName;  // the look on screen; empty for the user's own settings
    Choice<LookChange> lookChange;
    uint32_t lookSeconds = 30;  // 5..600
    Choice<LookOrder> lookOrder;

    // lookChange and lookOrder as the frames take them: a text off their lists reads as the
    // default ("Off", "Shuffle").
    LookChange lookChangeMode() const;
    LookOrder lookOrderMode() const;

    Rgb ambientRgb;
    Rgb diffuseRgb;
    Rgb specularLeftRgb;
    Rgb specularRightRgb;

private:
    void unpackColours();
};

// How a key's value is kept in the record and written to the file.
enum class KeyKind : uint8_t {
    Version,   // read as a signed number; a write always stores kSettingsVersion
    Signed,    // "%ld"
    Unsigned,  // "%lu"
    Colour,    // packed 0x00BBGGRR, written as "%#0.8lx" from the record's unpacked colour
    Text,      // as it stands, within 259 characters
};

// One key of the settings file and the record's field that mirrors it. The one list of these
// drives the reader, the writer and everything that offers the choices.
struct SettingKey {
    const char* name = nullptr;
    KeyKind kind = KeyKind::Text;
    bool geometry = false;  // the window's place and size: read only at the first read
    bool look = false;         // one of the keys a look holds
    bool lookFeature = false;  // written only by the look features
    // For an Unsigned key with highest > 0: a value outside lowest..highest reads as missing.
    uint32_t lowest = 0, highest = 0;
    // The value of a key the file lacks, and a new record's value.
    uint32_t missingNumber = 0, freshNumber = 0;
    const char* missingText = "";
    const char* freshText = "";
    // The field, by its kind.
    int32_t Settings::*signedField = nullptr;
    uint32_t Settings::*unsignedField = nullptr;  // Unsigned, and Colour's packed value
    Rgb Settings::*colourField = nullptr;
    const std::string& (*text)(const Settings&) = nullptr;
    void (*setText)(Settings&, std::string_view) = nullptr;
    // The values a text key offers, in order; empty for names of folders and numbers.
    choices::NameList choices;
};

// Every key of the file, in the order a write stores them; and one of them by name (null for
// a name that is not a key).
struct SettingKeyList {
    const SettingKey* first;
    size_t count;
    const SettingKey* begin() const { return first; }
    const SettingKey* end() const { return first + count; }
};
SettingKeyList settingKeys();
const SettingKey* findSettingKey(std::string_view name);
bool inKeySet(const SettingKey& key, KeySet keys);

// Whether two records hold the same values in every key of a set (texts compared exactly).
bool sameKeys(const Settings& a, const Settings& b, KeySet keys);
// Copies the values of a set's keys from one record to another.
void copyKeys(Settings& to, const Settings& from, KeySet keys);

// The full path of a file given relative to the executable's folder, or an empty text when it
// would not fit the platform's 260-character path buffer.
std::string pathBesideExecutable(const std::string& relativePath);
