// Encoding pictures as TGA files and writing files and the texture set.

#include <filesystem>
#include <fstream>

#include "tools/texgen/TextureArt.h"

std::vector<uint8_t> encodeTga(const Image& image) {
    std::vector<uint8_t> out(18, 0);
    out[2] = 2;  // uncompressed true-colour
    out[12] = static_cast<uint8_t>(image.width & 0xFF);
    out[13] = static_cast<uint8_t>(image.width >> 8);
    out[14] = static_cast<uint8_t>(image.height & 0xFF);
    out[15] = static_cast<uint8_t>(image.height >> 8);
    out[16] = static_cast<uint8_t>(image.channels * 8);
    out[17] = image.channels == 4 ? 8 : 0;  // alpha bits; origin bit clear: bottom row first
    out.reserve(out.size() + image.pixels.size());
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* p = image.at(x, y);
            out.push_back(p[2]);
            out.push_back(p[1]);
            out.push_back(p[0]);
            if (image.channels == 4) out.push_back(p[3]);
        }
    }
    return out;
}

bool writeBinaryFile(const std::string& path, const std::vector<uint8_t>& bytes,
                     std::string& error) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

bool writeTextureSet(const std::string& folder, std::string& error) {
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        error = "not a folder: " + folder;
        return false;
    }
    for (const NamedTexture& texture : makeTextureSet()) {
        std::filesystem::path path = std::filesystem::path(folder) / texture.fileName;
        if (!writeBinaryFile(path.string(), encodeTga(texture.image), error)) return false;
    }
    return true;
}
