#include "readers/LookLibrary.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "platform/Platform.h"
#include "settings/FolderName.h"
#include "settings/ProfileFile.h"

namespace {

bool endsWithExtension(const std::string& file) {
    const size_t n = std::char_traits<char>::length(kLookExtension);
    if (file.size() <= n) return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(file[file.size() - n + i])) != kLookExtension[i])
            return false;
    return true;
}

// The looks in a folder, sorted by name.
std::vector<LookEntry> looksIn(const std::string& folder, bool ours) {
    std::vector<LookEntry> looks;
    if (folder.empty()) return looks;
    for (std::string& file : platform::listFolder(folder, platform::EntryKind::Files))
        if (endsWithExtension(file)) {
            std::string name = file.substr(0, file.size() - std::char_traits<char>::length(kLookExtension));
            looks.push_back({std::move(name), ours, std::move(file)});
        }
    std::sort(looks.begin(), looks.end(),
              [](const LookEntry& a, const LookEntry& b) { return a.name < b.name; });
    return looks;
}

std::string upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// CON, PRN, AUX, NUL, COM1-COM9, LPT1-LPT9, which Windows takes as devices whatever follows a
// dot ("nul.txt") and with trailing blanks.
bool reservedDeviceName(const std::string& name) {
    std::string base = upper(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '1' && base[3] <= '9';
}

}  // namespace

void LookLibrary::refresh(const std::string& oursFolder, const std::string& userFolder) {
    ours_ = oursFolder;
    user_ = userFolder;
    looks_.clear();
    looks_ = looksIn(ours_, true);
    const size_t oursCount = looks_.size();
    for (LookEntry& look : looksIn(user_, false)) {
        const auto oursEnd = looks_.begin() + static_cast<std::ptrdiff_t>(oursCount);
        if (std::none_of(looks_.begin(), oursEnd, [&](const LookEntry& l) { return l.name == look.name; }))
            looks_.push_back(std::move(look));
    }
}

size_t LookLibrary::find(const std::string& name) const {
    for (size_t i = 0; i < looks_.size(); ++i)
        if (looks_[i].name == name) return i;
    return npos;
}

std::string LookLibrary::pathOf(size_t index) const {
    if (index >= looks_.size()) return {};
    return (looks_[index].ours ? ours_ : user_) + looks_[index].file;
}

bool LookLibrary::read(size_t index, Settings& look) const {
    if (index >= looks_.size()) return false;
    const std::string path = pathOf(index);
    std::string text;
    // A look that vanished since the listing reads as failed, not as the defaults.
    if (platform::readWholeFile(path, text, ProfileFile::kMaxFileBytes) != platform::ReadResult::Ok)
        return false;
    Settings file;
    if (!file.readFile(path, kSettingsSection)) return false;
    copyKeys(look, file, KeySet::Look);
    return true;
}

size_t LookLibrary::matching(const Settings& settings, const std::string& preferred) const {
    Settings look;
    const size_t first = find(preferred);
    if (first != npos && read(first, look) && sameKeys(look, settings, KeySet::Look)) return first;
    for (size_t i = 0; i < looks_.size(); ++i)
        if (i != first && read(i, look) && sameKeys(look, settings, KeySet::Look)) return i;
    return npos;
}

bool LookLibrary::save(const std::string& name, const Settings& settings) {
    if (lookNameProblem(name) || user_.empty() || !platform::makeFolders(user_)) return false;
    Settings look = settings;
    if (!look.writeFile(user_ + name + kLookExtension, kSettingsSection, KeySet::Look)) return false;
    refresh(ours_, user_);
    return true;
}

bool LookLibrary::remove(const std::string& name) {
    const size_t i = find(name);
    if (i == npos || looks_[i].ours) return false;
    const bool removed = std::remove(pathOf(i).c_str()) == 0;
    refresh(ours_, user_);
    return removed;
}

std::string LookLibrary::freeUserName() const {
    std::string name = kMyLook;
    for (int n = 2; find(name) != npos; ++n) name = std::string(kMyLook) + " " + std::to_string(n);
    return name;
}

size_t LookLibrary::findAnyCase(const std::string& name) const {
    const std::string wanted = upper(name);
    for (size_t i = 0; i < looks_.size(); ++i)
        if (upper(looks_[i].name) == wanted) return i;
    return npos;
}

const char* LookLibrary::lookNameProblem(const std::string& name) const {
    if (name.find_first_not_of(' ') == std::string::npos) return "A look needs a name.";
    const bool control = std::any_of(name.begin(), name.end(),
                                     [](char c) { return static_cast<unsigned char>(c) < 0x20; });
    if (control || !staysInsideFolder(name) || name.find_first_of("<>\"|?*") != std::string::npos)
        return "A look's name cannot hold \\ / : < > \" | ? * or be made of dots.";
    if (reservedDeviceName(name)) return "Windows reserves that name for a device.";
    // Windows' file names ignore case: "aurora" beside our "Aurora" would only confuse.
    const size_t i = findAnyCase(name);
    if (i != npos && looks_[i].ours) return "One of our looks has that name.";
    return nullptr;
}

std::string lookFileProblem(const std::string& path) {
    ProfileFile file;
    if (file.load(platform::nativePath(path)) != platform::ReadResult::Ok) return "cannot be read";
    constexpr const char* kAbsent = "\n";  // no value of a file holds a line break
    for (const SettingKey& k : settingKeys()) {
        if (!k.look) continue;
        const std::string value = file.getString(kSettingsSection, k.name, kAbsent, 260);
        const std::string key = k.name;
        if (value == kAbsent) return key + " is missing";
        if (k.kind == KeyKind::Text) {
            if (k.choices.count > 0 && k.choices.find(value) == k.choices.count)
                return key + "=" + value + " is not one of its choices";
            if (k.choices.count == 0 && !staysInsideFolder(value))
                return key + "=" + value + " leads out of its folder";
            // A sky or model that is on needs a name.
            const char* onOff = key == "bgrName" ? "bgrOnOff" : "mdlOnOff";
            if (k.choices.count == 0 && value.empty() && file.getInt(kSettingsSection, onOff, 0) != 0)
                return key + " is empty while " + onOff + " is on";
        } else if (k.kind == KeyKind::Unsigned) {
            const uint32_t number = parseProfileInteger(value);
            const uint32_t highest = key == "lhtStroboscope" ? choices::kMaxStroboscope : 1;
            if (number > highest || value.find_first_not_of("0123456789") != std::string::npos)
                return key + "=" + value + " is not 0 to " + std::to_string(highest);
        }
    }
    return {};
}
