// The settings file from bytes: the profile parser and its look-ups, in a new profile and in one
// kept from input to input as the frames keep theirs; then a settings read of a file holding
// the bytes (a one-off read and a frame's read with kept buffers, which must agree), a write
// over that file and a read of what was written.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
#include <string_view>

#include "settings/ProfileFile.h"
#include "settings/Settings.h"
#include "tests/common/SettingsKeys.h"

namespace {

// A file of this process's own in memory-backed storage where there is some.
const std::string& scratchPath() {
    static const std::string path = [] {
        const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        return std::string(folder) + "/vzrm-fuzz-settings-" + std::to_string(getpid()) + ".ini";
    }();
    return path;
}

void removeScratch() { std::remove(scratchPath().c_str()); }

void check(bool condition) {
    if (!condition) __builtin_trap();
}

// A value written back reads as itself unless the profile rules take something off it: the
// quotes around a quoted value, and the blanks at its ends (which only a quoted value has).
bool survivesWrite(const std::string& value) {
    auto plain = [](char c) {
        return c != '"' && c != '\'' && static_cast<unsigned char>(c) > ' ' && c != '\x1a';
    };
    return value.empty() || (plain(value.front()) && plain(value.back()));
}

// afterWrite: b was read from what a wrote, which keeps only what a write can keep.
void checkSameChoices(const Settings& a, const Settings& b, bool afterWrite) {
    check(a.dimLeft == b.dimLeft && a.dimTop == b.dimTop && a.dimWidth == b.dimWidth &&
          a.dimHeight == b.dimHeight);
    const uint32_t numbers[][2] = {
        {a.tofOnOff, b.tofOnOff}, {a.vumOnOff, b.vumOnOff}, {a.oscOnOff, b.oscOnOff},
        {a.oscRotate, b.oscRotate}, {a.bgrOnOff, b.bgrOnOff}, {a.mdlOnOff, b.mdlOnOff},
        {a.mdlBeat, b.mdlBeat}, {a.mdlEffectsOnOff, b.mdlEffectsOnOff},
        {a.mdlDynamicTextureOnOff, b.mdlDynamicTextureOnOff}, {a.texBits, b.texBits},
        {a.lhtOnOff, b.lhtOnOff}, {a.lhtRotate, b.lhtRotate},
        {a.lhtStroboscope, b.lhtStroboscope},
        {a.lhtAmbient, b.lhtAmbient}, {a.lhtDiffuse, b.lhtDiffuse},
        {a.lhtSpecularLeft, b.lhtSpecularLeft}, {a.lhtSpecularRight, b.lhtSpecularRight}};
    const size_t colours = std::size(numbers) - 4;
    for (size_t i = 0; i < std::size(numbers); ++i)  // a write keeps a colour's three bytes
        check((afterWrite && i >= colours ? numbers[i][0] & 0xFFFFFF : numbers[i][0]) ==
              numbers[i][1]);
    for (const SettingKey& k : settingKeys()) {
        if (k.kind != KeyKind::Text) continue;
        if (!afterWrite || survivesWrite(k.text(a))) check(k.text(a) == k.text(b));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    static ProfileFile kept;
    ProfileFile profile;
    profile.parse(text);
    kept.parse(text);
    check(profile.text() == text && kept.text() == text);  // reading changes none of its lines
    const size_t bufferSize = size ? data[0] : 260;
    for (const char* key : kSettingsWriteOrder) {
        const std::string value = profile.getString(kSettingsSection, key, "fallback  ", bufferSize);
        check(kept.value(kSettingsSection, key, "fallback  ", bufferSize) == value);
        check(kept.getInt(kSettingsSection, key, 7) == profile.getInt(kSettingsSection, key, 7));
        profile.getInt("", key, 7);
    }
    profile.set(kSettingsSection, "mdlName", text.substr(text.size() / 2));
    profile.set(text.substr(0, 16), "added", "1");
    profile.text();

    static const bool cleanup = std::atexit(removeScratch) == 0;
    (void)cleanup;
    const std::string& path = scratchPath();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    const bool written = std::fwrite(data, 1, size, file) == size;
    if (std::fclose(file) != 0 || !written) return 0;

    static SettingsReadCache cache;
    Settings first, frame;
    check(first.readFile(path, kSettingsSection));
    check(frame.readFile(path, kSettingsSection, cache));
    checkSameChoices(first, frame, false);
    check(first.writeFile(path, kSettingsSection));
    Settings second;
    check(second.readFile(path, kSettingsSection));
    checkSameChoices(first, second, true);
    return 0;
}
