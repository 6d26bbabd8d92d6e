#include "linux/Paths.h"

#include "platform/Platform.h"

namespace {

bool usable(const char* value) { return value && value[0] == '/'; }

std::string withSlash(std::string path) {
    if (!path.empty() && path.back() != '/') path += '/';
    return path;
}

}  // namespace

std::string UserFolders::settingsFile() const {
    return config.empty() ? std::string() : config + "vis_vzrm_config.ini";
}

std::string UserFolders::windowFile() const {
    return state.empty() ? std::string() : state + "window";
}

UserFolders userFolders(const char* configHome, const char* dataHome, const char* stateHome,
                        const char* home) {
    UserFolders f;
    const std::string homeFolder = usable(home) ? withSlash(home) : std::string();
    // The variable's folder, else the default below HOME, else none.
    auto base = [&](const char* variable, const char* underHome) {
        return usable(variable)       ? withSlash(variable)
               : homeFolder.empty() ? std::string()
                                    : homeFolder + underHome;
    };
    const std::string config = base(configHome, ".config/"), data = base(dataHome, ".local/share/"),
                      state = base(stateHome, ".local/state/");
    if (!config.empty()) f.config = config + "vizorama/";
    if (!state.empty()) f.state = state + "vizorama/";
    if (!data.empty()) {
        f.models = data + "vizorama/Models/";
        f.skyboxes = data + "vizorama/Skyboxes/";
        f.looks = data + "vizorama/Looks/";
    }
    return f;
}

std::string dataFolderFor(const std::string& executableFolder, const std::string& buildFolder) {
    std::string installed = executableFolder + "../share/vizorama/";
    if (!executableFolder.empty() && platform::folderExists(installed)) return installed;
    return withSlash(buildFolder);
}
