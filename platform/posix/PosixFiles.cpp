// The POSIX file services every native program shares: files, folders, paths and the running
// executable's folder. Who the program is and how it talks to its user (executableFolder,
// ownModuleFolder, showMessage) come from PlatformPosix.cpp in the shipped program and from the
// headless platform in tests and tools.
#include "platform/Platform.h"
#include "platform/posix/PosixFiles.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <vector>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

std::string posix::runningExecutableFolder() {
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return {};
    std::string full(path, static_cast<size_t>(n));
    size_t slash = full.rfind('/');
    return slash == std::string::npos ? std::string() : full.substr(0, slash + 1);
}

bool folderExists(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(nativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool makeFolders(const std::string& path) {
    const std::string folder = nativePath(path);
    for (size_t slash = folder.find('/', 1); slash != std::string::npos;
         slash = folder.find('/', slash + 1))
        mkdir(folder.substr(0, slash).c_str(), 0700);
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
    return folderExists(folder);
}

std::vector<std::string> listFolder(const std::string& path, EntryKind kind) {
    std::vector<std::string> names;
    std::string folder = nativePath(path);
    if (folder.empty()) return names;
    if (folder.back() != '/') folder += '/';
    DIR* dir = opendir(folder.c_str());
    if (!dir) return names;
    while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        struct stat st;
        if (stat((folder + name).c_str(), &st) != 0) continue;
        if (kind == EntryKind::Folders ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode))
            names.push_back(name);
    }
    closedir(dir);
    return names;
}

std::string searchExecutablePath(const char* fileName) {
    std::vector<std::string> folders{executableFolder()};
    if (const char* path = std::getenv("PATH")) {
        std::string list = path;
        size_t start = 0;
        while (start <= list.size()) {
            size_t end = list.find(':', start);
            if (end == std::string::npos) end = list.size();
            if (end > start) folders.push_back(list.substr(start, end - start) + "/");
            start = end + 1;
        }
    }
    for (const std::string& folder : folders) {
        if (folder.empty()) continue;
        std::string candidate = folder + fileName;
        struct stat st;
        if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return candidate;
    }
    return {};
}

std::string nativePath(const std::string& path) {
    std::string out = path;
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}

bool isAbsolutePath(const std::string& path) { return !path.empty() && path[0] == '/'; }

ReadResult readWholeFile(const std::string& path, std::string& contents, size_t maxBytes) {
    // Read straight into contents, so that a caller who keeps the string allocates nothing
    // when the file has not grown.
    contents.clear();
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? ReadResult::Missing : ReadResult::Failed;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<unsigned long long>(st.st_size) > maxBytes) {
        close(fd);
        return ReadResult::Failed;
    }
    try {
        contents.reserve(static_cast<size_t>(st.st_size));  // one allocation for a file at rest
    } catch (const std::bad_alloc&) {
        close(fd);
        return ReadResult::Failed;
    }
    char chunk[16384];
    for (;;) {
        ssize_t got = read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        bool appended = false;
        if (got >= 0 && static_cast<size_t>(got) <= maxBytes - contents.size()) {
            try {
                contents.append(chunk, static_cast<size_t>(got));
                appended = true;
            } catch (const std::bad_alloc&) {
            }
        }
        if (!appended) {  // a read error, a file grown past the bound, or no memory
            close(fd);
            contents.clear();
            return ReadResult::Failed;
        }
        if (got == 0) break;
    }
    close(fd);
    return ReadResult::Ok;
}

namespace {

// The file that path leads to through symbolic links (each link's target, relative ones taken
// from the link's folder), or path itself when it is no link or does not exist: a dangling
// link leads to the file it names. Empty for a link that cannot be read, and after 40 links
// (the kernel's own limit), which is how a loop ends.
std::string followLinks(std::string path) {
    for (int links = 0; links <= 40; ++links) {
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        char target[PATH_MAX];
        const ssize_t n = readlink(path.c_str(), target, sizeof target - 1);
        if (n <= 0) return {};
        std::string next(target, static_cast<size_t>(n));
        const size_t slash = path.rfind('/');
        if (next[0] != '/' && slash != std::string::npos) next = path.substr(0, slash + 1) + next;
        path = next;
    }
    return {};
}

}  // namespace

bool writeFileAtomically(const std::string& path, const std::string& contents) {
    // A settings file kept as a link (into a repository of dotfiles, say) stays a link: the file
    // it leads to is replaced, by a new file in that file's own folder (a rename cannot cross
    // file systems), with that file's permissions.
    const std::string target = followLinks(path);
    if (target.empty()) return false;
    // Threads of one process may replace files at once: each needs a temporary name of its own.
    static std::atomic<unsigned> counter{0};
    std::string temp = target + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(++counter);
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(contents.data(), 1, contents.size(), f) == contents.size();
    struct stat old;
    if (stat(target.c_str(), &old) == 0) ok = (fchmod(fileno(f), old.st_mode & 07777) == 0) && ok;
    ok = (std::fflush(f) == 0) && ok;
    ok = (fsync(fileno(f)) == 0) && ok;
    ok = (std::fclose(f) == 0) && ok;
    if (ok && std::rename(temp.c_str(), target.c_str()) == 0) return true;
    std::remove(temp.c_str());
    return false;
}

FileStamp fileStamp(const std::string& path) {
    FileStamp stamp;
    struct stat st {};
    if (path.empty() || stat(nativePath(path).c_str(), &st) != 0) return stamp;
    stamp.exists = true;
    stamp.volume = static_cast<unsigned long long>(st.st_dev);
    stamp.file = static_cast<unsigned long long>(st.st_ino);
    stamp.size = static_cast<unsigned long long>(st.st_size);
    stamp.modifiedNs = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    stamp.changedNs = static_cast<long long>(st.st_ctim.tv_sec) * 1000000000LL + st.st_ctim.tv_nsec;
    return stamp;
}

std::string currentDirectory() {
    char path[PATH_MAX];
    return getcwd(path, sizeof path) ? std::string(path) : std::string();
}

bool setCurrentDirectory(const std::string& path) {
    return !path.empty() && chdir(nativePath(path).c_str()) == 0;
}

}  // namespace platform
