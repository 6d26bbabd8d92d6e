#include "linux/SettingsStore.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "linux/Paths.h"
#include "platform/Platform.h"

SettingsStore::~SettingsStore() {
    if (sessionFolder_.empty()) return;
    std::remove(path_.c_str());
    rmdir(sessionFolder_.c_str());
}

std::string SettingsStore::open(Settings& settings, const std::string& path) {
    userPath_ = path_ = path;
    settings.reset();
    if (path.empty()) return toSession(settings, "there is no home folder for the settings");
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos && !makeFolders(path.substr(0, slash + 1)))
        return toSession(settings, "cannot create the folder of " + path);
    if (!settings.readFile(path, kSettingsSection))
        return toSession(settings, "cannot read " + path + " (it is left as it is)");
    if (!settings.writeFile(path, kSettingsSection))
        return toSession(settings, "cannot write " + path);
    return {};
}

std::string SettingsStore::save(Settings& settings) {
    if (settings.writeFile(path_, kSettingsSection)) return {};
    if (inSession()) return "cannot write the session's settings file " + path_;
    return toSession(settings, "cannot write " + path_);
}

std::string SettingsStore::toSession(Settings& settings, const std::string& reason) {
    if (sessionFolder_.empty()) {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        std::string folder = std::string(runtime && runtime[0] == '/' ? runtime : "/tmp") +
                             "/vizorama-XXXXXX";
        if (!mkdtemp(folder.data())) {
            folder = "/tmp/vizorama-XXXXXX";
            if (!mkdtemp(folder.data())) folder.clear();
        }
        sessionFolder_ = folder;
    }
    if (!sessionFolder_.empty()) {
        path_ = sessionFolder_ + "/vis_vzrm_config.ini";
        if (settings.writeFile(path_, kSettingsSection))
            return reason + "; settings changed now last until the program ends";
    }
    // Nowhere to write: frames read a file that is not there and keep the defaults.
    path_.clear();
    return reason + "; settings cannot be changed in this session";
}
