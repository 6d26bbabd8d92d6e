#include "linux/SettingsStore.h"

#include <sys/stat.h>

#include "linux/Paths.h"
#include "platform/Platform.h"

bool SettingsStore::Stamp::operator==(const Stamp& o) const {
    return device == o.device && inode == o.inode && size == o.size &&
           modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec &&
           changed.tv_sec == o.changed.tv_sec && changed.tv_nsec == o.changed.tv_nsec;
}

SettingsStore::Stamp SettingsStore::stampOf(const std::string& path) {
    Stamp stamp;
    struct stat st {};
    if (path.empty() || stat(path.c_str(), &st) != 0) return stamp;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.size = st.st_size;
    stamp.modified = st.st_mtim;
    stamp.changed = st.st_ctim;
    return stamp;
}

std::string SettingsStore::open(Settings& settings, const std::string& path) {
    path_ = path;
    keeps_ = false;
    settings.reset();
    if (path.empty()) return stop("there is no home folder for the settings");
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos && !platform::makeFolders(path.substr(0, slash + 1)))
        return stop("cannot create the folder of " + path);
    if (!settings.readFile(path, kSettingsSection))
        return stop("cannot read " + path + " (it is left as it is)");
    if (!settings.writeFile(path, kSettingsSection)) return stop("cannot write " + path);
    keeps_ = true;
    seen_ = stampOf(path);
    return {};
}

std::string SettingsStore::save(Settings& settings, KeySet keys) {
    if (!keeps_) return {};
    saver_.save(path_, kSettingsSection, settings, keys);
    saving_ = true;
    return {};
}

bool SettingsStore::takeUpEdit(Settings& settings) {
    if (!keeps_ || saver_.pending()) return false;
    if (saving_) {
        wait();  // landed: the file as it is now is ours, not an edit
        return false;
    }
    const Stamp now = stampOf(path_);
    if (now == seen_) return false;
    seen_ = now;
    settings.readFile(path_, kSettingsSection, cache_);
    return true;
}

void SettingsStore::wait() {
    if (!saving_) return;
    saving_ = false;
    if (saver_.finish()) seen_ = stampOf(path_);
    else problem_ = stop("cannot write " + path_);
}

std::string SettingsStore::takeProblem() {
    std::string problem;
    problem.swap(problem_);
    return problem;
}

std::string SettingsStore::stop(const std::string& reason) {
    keeps_ = false;
    return reason + "; settings changed now last until the program ends";
}
