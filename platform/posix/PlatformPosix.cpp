// Who the program is and how it tells its user something, for the programs we ship (vizorama)
// and the native tools that need no test stand-ins.
#include <cerrno>  // program_invocation_short_name
#include <cstdio>

#include "platform/Platform.h"
#include "platform/posix/PosixFiles.h"

namespace platform {

std::string executableFolder() { return posix::runningExecutableFolder(); }

// A program's code lives in its executable.
std::string ownModuleFolder() { return executableFolder(); }

// A program started from a desktop menu has no one reading its terminal, but the standard
// error is where its journal and its user look; the window shows what the scene reports.
void showMessage(void*, const char* text, const char* caption) {
    std::fprintf(stderr, "%s: %s: %s\n", program_invocation_short_name,
                 caption ? caption : "Message", text ? text : "");
}

}  // namespace platform
