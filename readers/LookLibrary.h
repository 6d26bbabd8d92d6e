#pragma once
// Looks: designed settings of the picture, each a settings file of its own ("Deep Water.ini",
// section "Vizorama") holding only the keys that shape the picture (KeySet::Look). A look's name
// is its file's name without ".ini". Ours ship in the program's "Looks" folder; the user's own
// are kept apart (see AssetKind::UserLooks), so that an update never touches them. A user's
// look with the name of one of ours is not listed: ours come first.

#include <cstddef>
#include <string>
#include <vector>

#include "settings/Settings.h"

inline constexpr const char* kLookExtension = ".ini";
// What the user's own settings are saved as before a change of look would lose them: "My look",
// then "My look 2", "My look 3", ...
inline constexpr const char* kMyLook = "My look";

struct LookEntry {
    std::string name;
    bool ours = false;  // one of ours (else the user's own)
    std::string file;   // its file's name in its folder
};

class LookLibrary {
public:
    // The folders (absolute, in the platform's form, with their trailing separator; either may
    // be empty) and the looks in them, listed again: ours, then the user's, each sorted by name.
    void refresh(const std::string& oursFolder, const std::string& userFolder);

    const std::vector<LookEntry>& looks() const { return looks_; }
    size_t size() const { return looks_.size(); }
    static constexpr size_t npos = static_cast<size_t>(-1);
    // The position of the look of that name (compared exactly), or npos.
    size_t find(const std::string& name) const;
    // The same, with letters compared regardless of case (as Windows compares file names).
    size_t findAnyCase(const std::string& name) const;
    // The file of a listed look.
    std::string pathOf(size_t index) const;

    // Reads a listed look's keys into look (a key the file lacks reads as a settings file
    // without it does). False when the file cannot be read.
    bool read(size_t index, Settings& look) const;
    // The first listed look whose keys all equal those of settings, npos for none. The look
    // named preferred (when listed) is compared first.
    size_t matching(const Settings& settings, const std::string& preferred = {}) const;

    // Saves the look keys of settings as the user's look name, replacing one of that name, and
    // lists the looks again. False when the name is refused (lookNameProblem) or the file
    // cannot be written.
    bool save(const std::string& name, const Settings& settings);
    // Removes the user's look name (never one of ours) and lists the looks again.
    bool remove(const std::string& name);
    // The first of "My look", "My look 2", ... that names no listed look.
    std::string freeUserName() const;
    // Why name cannot name a look of the user's, or null when it can: empty, leading out of its
    // folder or holding a character a file name cannot, a reserved device name of Windows (CON,
    // PRN, AUX, NUL, COM1-9, LPT1-9, in any case, also with an extension or blanks before it),
    // or the name of one of ours in any case.
    const char* lookNameProblem(const std::string& name) const;

private:
    std::string ours_, user_;
    std::vector<LookEntry> looks_;
};

// The first fault of a look file: a look key missing, a choice off its list, a switch other
// than 0 or 1, a stroboscope above its steps, a sky or model name leading out of its folder, or
// none for a sky or model that is on. Empty for a good look.
std::string lookFileProblem(const std::string& path);
