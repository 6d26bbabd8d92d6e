#include "winapp/Paths.h"

namespace {

std::string withSeparator(std::string path) {
    if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
    return path;
}

bool fullPath(const char* path) {
    if (!path) return false;
    const std::string p = path;
    return (p.size() >= 3 && p[1] == ':' && (p[2] == '\\' || p[2] == '/')) || p.rfind("\\\\", 0) == 0;
}

}  // namespace

std::string ProgramFolders::settingsFile() const {
    return user.empty() ? std::string() : user + "vis_vzrm_config.ini";
}

std::string ProgramFolders::windowFile() const { return user.empty() ? std::string() : user + "window.txt"; }

std::string ProgramFolders::utility() const {
    return own.empty() ? std::string() : own + "Configurations\\vis_vzrm_c.exe";
}

ProgramFolders programFolders(const char* appData, const std::string& ownFolder) {
    ProgramFolders f;
    f.own = withSeparator(ownFolder);
    if (!fullPath(appData)) return f;
    f.user = withSeparator(appData) + "Vizorama\\";
    f.models = f.user + "Models\\";
    f.skyboxes = f.user + "Skyboxes\\";
    f.looks = f.user + "Looks\\";
    return f;
}
