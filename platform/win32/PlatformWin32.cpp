#include "platform/Platform.h"

#include <windows.h>

#include <new>

#include <vector>

namespace platform {

namespace {

// Folder of a loaded module (null: the executable) with its trailing backslash, or empty.
std::string moduleFolder(HMODULE module) {
    // Usually the path fits MAX_PATH; a longer one is read whole with a larger buffer, so that
    // the callers' own length limits decide what happens to it. (Called for every frame's
    // settings read, so the common case allocates nothing big.)
    char small[MAX_PATH];
    DWORD n = GetModuleFileNameA(module, small, MAX_PATH);
    std::string full;
    if (n > 0 && n < MAX_PATH) {
        full.assign(small, n);
    } else {
        std::vector<char> path(32768);
        n = GetModuleFileNameA(module, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0 || n >= path.size()) return {};
        full.assign(path.data(), n);
    }
    size_t slash = full.find_last_of('\\');
    return slash == std::string::npos ? std::string() : full.substr(0, slash + 1);
}

}  // namespace

std::string executableFolder() { return moduleFolder(nullptr); }

std::string ownModuleFolder() {
    // The module that holds this variable: the plug-in's DLL when linked into it.
    static const char inThisModule = 0;
    HMODULE self = nullptr;
    if (!GetModuleHandleExA(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            &inThisModule, &self))
        return {};
    return moduleFolder(self);
}

bool folderExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool makeFolders(const std::string& path) {
    for (size_t sep = path.find_first_of("\\/", 1); sep != std::string::npos;
         sep = path.find_first_of("\\/", sep + 1))
        if (path[sep - 1] != ':') CreateDirectoryA(path.substr(0, sep).c_str(), nullptr);
    CreateDirectoryA(path.c_str(), nullptr);
    return folderExists(path);
}

std::vector<std::string> listFolder(const std::string& path, EntryKind kind) {
    std::vector<std::string> names;
    if (path.empty()) return names;
    const char last = path.back();
    const std::string pattern = path + (last == '\\' || last == '/' ? "*" : "\\*");
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(pattern.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const bool folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (folder == (kind == EntryKind::Folders)) names.push_back(name);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return names;
}

std::string searchExecutablePath(const char* fileName) {
    std::vector<char> path(32768);
    char* filePart = nullptr;
    DWORD n = SearchPathA(nullptr, fileName, nullptr, static_cast<DWORD>(path.size()), path.data(),
                          &filePart);
    if (n == 0 || n >= path.size()) return {};
    return std::string(path.data(), n);
}

std::string nativePath(const std::string& path) { return path; }

// "C:\x", "C:x" (the drive's own current folder, never the model's), "\x" and "\\server\x".
bool isAbsolutePath(const std::string& path) {
    return (path.size() >= 2 && path[1] == ':') || (!path.empty() && (path[0] == '\\' || path[0] == '/'));
}

ReadResult readWholeFile(const std::string& path, std::string& contents, size_t maxBytes) {
    contents.clear();
    // Share delete access too, so that another process can rename a new file over this one
    // while it is being read.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
                   ? ReadResult::Missing
                   : ReadResult::Failed;
    }
    ReadResult result = ReadResult::Ok;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size) || static_cast<unsigned long long>(size.QuadPart) > maxBytes)
        result = ReadResult::Failed;  // refused before a byte is read
    try {
        if (result == ReadResult::Ok) contents.reserve(static_cast<size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        result = ReadResult::Failed;
    }
    char chunk[16384];
    while (result == ReadResult::Ok) {
        DWORD got = 0;
        if (!ReadFile(file, chunk, sizeof chunk, &got, nullptr) ||
            got > maxBytes - contents.size()) {
            result = ReadResult::Failed;  // or it grew past the bound while being read
            break;
        }
        if (got == 0) break;
        try {
            contents.append(chunk, got);
        } catch (const std::bad_alloc&) {  // a 32-bit process runs out long before 4 GB
            result = ReadResult::Failed;
        }
    }
    CloseHandle(file);
    if (result != ReadResult::Ok) contents.clear();
    return result;
}

bool writeFileAtomically(const std::string& path, const std::string& contents) {
    static LONG counter = 0;
    std::string temp = path + ".tmp" + std::to_string(GetCurrentProcessId()) + "-" +
                       std::to_string(InterlockedIncrement(&counter));
    HANDLE file = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written,
                        nullptr) &&
              written == contents.size();
    ok = FlushFileBuffers(file) && ok;
    CloseHandle(file);
    // A reader that opened the old file without delete sharing makes the replacement fail
    // while it holds the file; try again for up to half a second before giving up.
    for (int attempt = 0; ok && attempt < 100; ++attempt) {
        if (MoveFileExA(temp.c_str(), path.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        Sleep(attempt < 10 ? 1 : 5);
    }
    DeleteFileA(temp.c_str());
    return false;
}

FileStamp fileStamp(const std::string& path) {
    FileStamp stamp;
    if (path.empty()) return stamp;
    // Opened for its attributes only, sharing everything: a writer renaming a new file over it
    // meanwhile is not held up.
    HANDLE file = CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return stamp;
    BY_HANDLE_FILE_INFORMATION info{};
    FILE_BASIC_INFO basic{};
    if (GetFileInformationByHandle(file, &info)) {
        stamp.exists = true;
        stamp.volume = info.dwVolumeSerialNumber;
        stamp.file = (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
        stamp.size = (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
        // In 100 ns steps; the change time also moves when the file is renamed over.
        stamp.modifiedNs = static_cast<long long>(
            (static_cast<unsigned long long>(info.ftLastWriteTime.dwHighDateTime) << 32) |
            info.ftLastWriteTime.dwLowDateTime) * 100;
        if (GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic))
            stamp.changedNs = basic.ChangeTime.QuadPart * 100;
    }
    CloseHandle(file);
    return stamp;
}

std::string currentDirectory() {
    char path[MAX_PATH];
    DWORD n = GetCurrentDirectoryA(MAX_PATH, path);
    return n > 0 && n < MAX_PATH ? std::string(path, n) : std::string();
}

bool setCurrentDirectory(const std::string& path) {
    return !path.empty() && SetCurrentDirectoryA(path.c_str());
}

void showMessage(void* owner, const char* text, const char* caption) {
    MessageBoxA(static_cast<HWND>(owner), text, caption, MB_OK);
}

}  // namespace platform
