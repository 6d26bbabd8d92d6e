#pragma once
// Controls of the headless platform that tests and tools use.

#include <string>
#include <vector>

namespace platform::headless {

struct ShownMessage {
    void* owner;
    std::string text;
    std::string caption;
};

// Makes executableFolder() return folder (with its trailing '/'); an empty text restores the
// folder of the running program.
void setExecutableFolder(const std::string& folder);

// How many pictures the test cards (TestCard.h), standing in for window captures, took in this
// process.
int windowCaptures();

// Makes ownModuleFolder() return folder; an empty text makes it follow executableFolder().
void setOwnModuleFolder(const std::string& folder);

// The messages shown since the last call, oldest first.
std::vector<ShownMessage> takeMessages();

}  // namespace platform::headless
