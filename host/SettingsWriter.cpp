#include "host/SettingsWriter.h"

#include <windows.h>

#include <cstdio>

#include "settings/Settings.h"

namespace {

const char* const kModels[] = {"Vizorama", "Knot"};

template <size_t N>
const char* pick(const char* const (&names)[N], long n) {
    return names[static_cast<size_t>(n) % N];
}

// The n-th value, round and round, that the settings' key table offers for a key.
const char* pick(const char* key, long n) {
    const choices::NameList values = findSettingKey(key)->choices;
    return values.names[static_cast<size_t>(n) % values.count];
}

std::string number(unsigned long value, const char* format = "%lu") {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// Version v of the settings: the cheap choices change with every version; the model changes,
// and goes off and on, every 32 versions, and the texture depth (which reloads every texture)
// goes to 32 bits and back once a round.
void setVersion(ProfileFile& file, long v) {
    auto put = [&](const char* key, const std::string& value) {
        file.set(kSettingsSection, key, value);
    };
    const long inRound = v % SettingsWriter::kRound;
    put("vumOnOff", number(static_cast<unsigned long>(v % 5 != 0)));
    put("vumType", pick("vumType", v / 3));
    put("oscOnOff", number(static_cast<unsigned long>(v % 7 != 0)));
    put("oscType", pick("oscType", v / 2));
    put("oscRenderingMode", pick("oscRenderingMode", v));
    put("camPosition", pick("camPosition", v / 4));
    put("lhtOnOff", number(static_cast<unsigned long>(v / 8 % 2)));
    put("mdlOnOff", inRound < 96 ? "1" : "0");
    put("mdlName", pick(kModels, v / 32));
    put("texBits", inRound >= 40 && inRound < 48 ? "32" : "16");
    const std::string colour = number(static_cast<unsigned long>(v) & 0xFFFFFF, "%#0.8lx");
    for (const char* key : {"lhtAmbient", "lhtDiffuse", "lhtSpecularLeft", "lhtSpecularRight"})
        put(key, colour);
}

}  // namespace

SettingsWriter::SettingsWriter(std::string path, const std::atomic<long>& frames, long every)
    : path_(std::move(path)), frames_(frames), every_(every > 0 ? every : 1),
      thread_() {
    // Keeps whatever else the file holds.
    file_.load(path_);
    setVersion(file_, 0);
    if (!file_.save(path_)) ++failures_;
    thread_ = std::thread([this] { run(); });
}

SettingsWriter::~SettingsWriter() { stop(); }

void SettingsWriter::stop() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
}

void SettingsWriter::run() {
    long due = frames_ + every_;
    while (!stopping_) {
        if (frames_ < due) {
            Sleep(1);
            continue;
        }
        setVersion(file_, ++versions_);
        if (!file_.save(path_)) ++failures_;
        due = frames_ + every_;
    }
}
