#include "tests/native/TestFiles.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <utility>

#ifdef _WIN32
#include <process.h>
#endif

ScratchFolder::ScratchFolder() {
#ifdef _WIN32
    // No mkdtemp: a name of our own (process and count), made here or refused as taken.
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const auto folder = std::filesystem::temp_directory_path() /
                            ("vzrm-test-" + std::to_string(_getpid()) + "-" +
                             std::to_string(++counter));
        if (std::filesystem::create_directory(folder)) {
            path_ = folder.generic_string() + "/";
            return;
        }
    }
    throw std::runtime_error("no scratch folder");
#else
    std::string pattern = (std::filesystem::temp_directory_path() / "vzrm-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern + "/";
#endif
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void writeTextFile(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string readTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::string tgaFile(const TgaHeader& header, const std::string& stored,
                    const std::string& imageId) {
    std::string file(18, '\0');
    file[0] = static_cast<char>(imageId.size());
    file[1] = static_cast<char>(header.colourMapType);
    file[2] = static_cast<char>(header.imageType);
    file[12] = static_cast<char>(header.width & 0xff);
    file[13] = static_cast<char>(header.width >> 8);
    file[14] = static_cast<char>(header.height & 0xff);
    file[15] = static_cast<char>(header.height >> 8);
    file[16] = static_cast<char>(header.depth);
    file[17] = static_cast<char>(header.descriptor);
    return file + imageId + stored;
}

std::string tgaPixels(const std::vector<std::string>& rowsFromTop, unsigned bytesPerPixel,
                      bool topRowFirst) {
    std::string stored;
    for (size_t i = 0; i < rowsFromTop.size(); ++i) {
        std::string row = rowsFromTop[topRowFirst ? i : rowsFromTop.size() - 1 - i];
        for (size_t at = 0; at + 2 < row.size(); at += bytesPerPixel)
            std::swap(row[at], row[at + 2]);
        stored += row;
    }
    return stored;
}

bool haveProgram(const std::string& name) {
    return std::system(("command -v '" + name + "' >/dev/null 2>&1").c_str()) == 0;
}
