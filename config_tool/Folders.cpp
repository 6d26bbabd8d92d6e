#include "config_tool/Folders.h"

#include "config_tool/ConfigDialog.h"

namespace {

std::string& chosen() {
    static std::string path;
    return path;
}

}  // namespace

bool chooseSettingsFile(const std::string& commandLine, std::string& error) {
    const std::string option = "--settings";
    const size_t at = commandLine.find(option);
    if (at == std::string::npos) return true;
    size_t from = commandLine.find_first_not_of(' ', at + option.size());
    std::string path;
    if (from != std::string::npos && commandLine[from] == '"') {  // a path with spaces, quoted
        const size_t end = commandLine.find('"', from + 1);
        path = commandLine.substr(from + 1, end == std::string::npos ? std::string::npos : end - from - 1);
    } else if (from != std::string::npos) {
        path = commandLine.substr(from, commandLine.find(' ', from) - from);
    }
    if (path.empty()) {
        error = "--settings needs the path of a settings file";
        return false;
    }
    chosen() = path;
    return true;
}

const std::string& utilitySettingsFile() {
    if (chosen().empty()) chosen() = pathBesideExecutable(kUtilitySettingsFile);
    return chosen();
}
