#pragma once
// The few operating-system services the portable code needs. Each build links exactly one
// implementation: platform/win32 in the Windows deliverables, platform/headless in native
// tests and tools.

#include <cstddef>
#include <string>
#include <vector>

namespace platform {

// Folder of the running executable with its trailing separator ("C:\Player\" on Windows),
// or an empty text when it cannot be found.
std::string executableFolder();

// Folder of the module that holds this code with its trailing separator: the plug-in's own
// library file when this runs inside it, the executable otherwise. Empty when unknown.
std::string ownModuleFolder();

// Whether path names an existing folder (path may use backslashes).
bool folderExists(const std::string& path);

// Creates a folder and any missing parents (path may use backslashes; on POSIX systems new
// folders are the user's alone); true when it exists afterwards.
bool makeFolders(const std::string& path);

// The names of a folder's files, or of its sub-folders, in no particular order; none when the
// folder cannot be read. path may use backslashes and may end with a separator.
enum class EntryKind { Files, Folders };
std::vector<std::string> listFolder(const std::string& path, EntryKind kind);

// Full path of fileName as found along the platform's search path for executables (the
// running executable's folder first), or an empty text when it is not found.
std::string searchExecutablePath(const char* fileName);

// Turns a path written with backslashes into the form this file system accepts.
std::string nativePath(const std::string& path);

// Whether a path in this file system's form leads from a root (or, on Windows, a drive) rather
// than from whatever folder it is taken relative to.
bool isAbsolutePath(const std::string& path);

enum class ReadResult { Ok, Missing, Failed };

// Reads a whole file. Missing: there is no such file; Failed: it exists but could not be read,
// holds more than maxBytes, or memory ran out.
ReadResult readWholeFile(const std::string& path, std::string& contents,
                         size_t maxBytes = static_cast<size_t>(-1));

// Replaces the file at path with contents: the data is written to a new file in the same folder
// and renamed over the old one, so a reader in another process sees either the old or the new
// file, never half of one. Returns false (and leaves the old file alone) on failure. Where path
// is a symbolic link (on POSIX systems), the file it leads to is replaced in its own folder and
// the link stays a link.
bool writeFileAtomically(const std::string& path, const std::string& contents);

// What tells one state of a file from another without reading it: its identity (device and
// file number), size and times of change, whatever the platform keeps. Two stamps of the same
// path compare equal while nobody has written, replaced or touched the file. A missing file's
// stamp has exists false.
struct FileStamp {
    bool exists = false;
    unsigned long long volume = 0, file = 0, size = 0;
    long long modifiedNs = 0, changedNs = 0;
    bool operator==(const FileStamp& o) const {
        return exists == o.exists && volume == o.volume && file == o.file && size == o.size &&
               modifiedNs == o.modifiedNs && changedNs == o.changedNs;
    }
    bool operator!=(const FileStamp& o) const { return !(*this == o); }
};
FileStamp fileStamp(const std::string& path);

// The process's current directory, and changing it (path may use backslashes). Changing
// returns false when the folder cannot be entered.
std::string currentDirectory();
bool setCurrentDirectory(const std::string& path);

// Shows a message with an OK button and waits for it to be closed. owner is a native window
// handle, or null for none.
void showMessage(void* owner, const char* text, const char* caption);

}  // namespace platform
