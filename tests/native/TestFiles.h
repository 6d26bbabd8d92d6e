#pragma once
// Scratch folders and files for tests.

#include <string>
#include <vector>

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

// TGA files built byte by byte.
struct TgaHeader {
    unsigned colourMapType = 0;
    unsigned imageType = 2;  // uncompressed true-colour
    unsigned width = 0;
    unsigned height = 0;
    unsigned depth = 32;
    unsigned descriptor = 0;  // 0x20: the first stored row is the top one
};

// An 18-byte header, the image-ID field (its length goes in the header), then the stored bytes.
std::string tgaFile(const TgaHeader& header, const std::string& stored,
                    const std::string& imageId = "");

// The pixel bytes of a picture given as red, green, blue (, alpha) rows from the top, stored as
// a TGA file stores them: blue first, bottom row first unless topRowFirst.
std::string tgaPixels(const std::vector<std::string>& rowsFromTop, unsigned bytesPerPixel,
                      bool topRowFirst);

// Whether a program of that name is on the PATH.
bool haveProgram(const std::string& name);
