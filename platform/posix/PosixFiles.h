#pragma once
// What the POSIX platforms (the shipped one and the headless one of tests and tools) share
// beyond platform/Platform.h.

#include <string>

namespace platform::posix {

// The folder of the running executable as the system names it (/proc/self/exe), with its
// trailing '/', or an empty text when it cannot be found.
std::string runningExecutableFolder();

}  // namespace platform::posix
