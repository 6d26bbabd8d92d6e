#pragma once
// Scratch folders and files for tests.

#include <string>

// A new empty folder (with a trailing '/'), removed when the object goes.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

void writeTextFile(const std::string& path, const std::string& text);
std::string readTextFile(const std::string& path);
