#include "frontend/SettingsStore.h"

#include "platform/Platform.h"

std::string SettingsStore::open(Settings& settings, const std::string& path) {
    path_ = path;
    keeps_ = false;
    settings.reset();
    if (path.empty()) return stop("there is no home folder for the settings");
    const size_t slash = path.find_last_of("/\\");
    if (slash != std::string::npos && !platform::makeFolders(path.substr(0, slash + 1)))
        return stop("cannot create the folder of " + path);
    if (!settings.readFile(path, kSettingsSection))
        return stop("cannot read " + path + " (it is left as it is)");
    if (!settings.writeFile(path, kSettingsSection)) return stop("cannot write " + path);
    keeps_ = true;
    seen_ = platform::fileStamp(path);
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
    const platform::FileStamp now = platform::fileStamp(path_);
    if (now == seen_) return false;
    seen_ = now;
    settings.readFile(path_, kSettingsSection, cache_);
    return true;
}

void SettingsStore::wait() {
    if (!saving_) return;
    saving_ = false;
    if (saver_.finish()) seen_ = platform::fileStamp(path_);
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
