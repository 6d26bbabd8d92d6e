// The headless platform of tests and tools: the POSIX file services with folders a test can
// set and messages collected for it to read instead of shown.
#include "platform/headless/PlatformHeadless.h"

#include <mutex>

#include "platform/Platform.h"
#include "platform/posix/PosixFiles.h"

namespace platform {
namespace {

std::mutex stateMutex;
std::string folderOverride;
std::string moduleFolderOverride;
std::vector<headless::ShownMessage> shownMessages;

}  // namespace

std::string executableFolder() {
    {
        std::lock_guard<std::mutex> lock(stateMutex);
        if (!folderOverride.empty()) return folderOverride;
    }
    return posix::runningExecutableFolder();
}

std::string ownModuleFolder() {
    {
        std::lock_guard<std::mutex> lock(stateMutex);
        if (!moduleFolderOverride.empty()) return moduleFolderOverride;
    }
    return executableFolder();
}

void showMessage(void* owner, const char* text, const char* caption) {
    std::lock_guard<std::mutex> lock(stateMutex);
    shownMessages.push_back({owner, text ? text : "", caption ? caption : ""});
}

namespace headless {

void setExecutableFolder(const std::string& folder) {
    std::lock_guard<std::mutex> lock(stateMutex);
    folderOverride = folder;
}

void setOwnModuleFolder(const std::string& folder) {
    std::lock_guard<std::mutex> lock(stateMutex);
    moduleFolderOverride = folder;
}

std::vector<ShownMessage> takeMessages() {
    std::lock_guard<std::mutex> lock(stateMutex);
    std::vector<ShownMessage> out;
    out.swap(shownMessages);
    return out;
}

}  // namespace headless
}  // namespace platform
