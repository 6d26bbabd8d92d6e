#include "settings/Settings.h"

#include <cstdio>

#include "platform/Platform.h"
#include "settings/ProfileFile.h"

namespace {

// Single-precision constant nearest to 1/255.
constexpr float kByteToUnit = 0.003921569f;

// Strings are read through a buffer of this many characters, terminator included.
constexpr size_t kValueBuffer = 260;
constexpr size_t kPathBuffer = 260;

std::string format(const char* fmt, long value) {
    char text[32];
    std::snprintf(text, sizeof text, fmt, value);
    return text;
}

std::string formatUnsigned(const char* fmt, uint32_t value) {
    char text[32];
    std::snprintf(text, sizeof text, fmt, static_cast<unsigned long>(value));
    return text;
}

}  // namespace

Rgb unpackColour(uint32_t packed) {
    Rgb c;
    c.r = static_cast<float>(packed & 0xFF) * kByteToUnit;
    c.g = static_cast<float>((packed >> 8) & 0xFF) * kByteToUnit;
    c.b = static_cast<float>((packed >> 16) & 0xFF) * kByteToUnit;
    return c;
}

uint32_t packColour(float r, float g, float b) {
    auto byte = [](float v) {
        return static_cast<uint32_t>(static_cast<int32_t>(static_cast<double>(v) * 255.0)) & 0xFF;
    };
    return byte(r) | byte(g) << 8 | byte(b) << 16;
}

std::string pathBesideExecutable(const std::string& relativePath) {
    std::string folder = platform::executableFolder();
    if (folder.empty()) return {};
    std::string path = folder + relativePath;
    return path.size() < kPathBuffer ? path : std::string();
}

Settings::Settings() { reset(); }

void Settings::reset() {
    vzrVersion = kSettingsVersion;
    dimLeft = 0;
    dimTop = 0;
    dimWidth = 275;
    dimHeight = 116;
    dimResolution = "1x1";
    tofOnOff = 0;
    vumOnOff = 1;
    vumType = "Double Fixed Point";
    oscOnOff = 1;
    oscRotate = 1;
    oscType = "Waveform";
    oscSamplingRate = "1x3";
    oscRenderingMode = "Water";
    bgrOnOff = 0;
    bgrName = "";
    mdlOnOff = 0;
    mdlBeat = 1;
    mdlEffectsOnOff = 1;
    mdlEffectsType = "Ghost";
    mdlDynamicTextureOnOff = 0;
    mdlName = "";
    mdlColorMap = "RGB";
    camPosition = "Spin";
    texBits = 16;
    lhtOnOff = 0;
    lhtRotate = 1;
    lhtStroboscope = 0;
    lhtAmbient = 0x3f7fff;
    lhtDiffuse = 0x3f3f3f;
    lhtSpecularLeft = 0x00ff00;
    lhtSpecularRight = 0xff7f00;
    unpackColours();
}

void Settings::unpackColours() {
    ambientRgb = unpackColour(lhtAmbient);
    diffuseRgb = unpackColour(lhtDiffuse);
    specularLeftRgb = unpackColour(lhtSpecularLeft);
    specularRightRgb = unpackColour(lhtSpecularRight);
}

bool Settings::read(const std::string& relativePath, const std::string& section) {
    return readFile(pathBesideExecutable(relativePath), section);
}

bool Settings::write(const std::string& relativePath, const std::string& section) {
    return writeFile(pathBesideExecutable(relativePath), section);
}

bool Settings::readFile(const std::string& path, const std::string& section) {
    SettingsReadCache cache;
    return readFile(path, section, cache);
}

bool Settings::readFile(const std::string& path, const std::string& section,
                        SettingsReadCache& cache) {
    ProfileFile& file = cache.file;
    if (path.empty()) {
        file.parse({});
    } else {
        if (cache.path != path) {
            cache.path = path;
            cache.nativePath = platform::nativePath(path);
        }
        if (file.load(cache.nativePath) == platform::ReadResult::Failed)
            return false;  // keep the values we have rather than fall back to defaults for one read
    }

    auto number = [&](const char* key, uint32_t missing) {
        return file.getInt(section, key, missing);
    };
    // Assigned into the fields' own buffers, which keep their size between reads.
    auto text = [&](std::string& field, const char* key, const char* missing) {
        std::string_view value = file.value(section, key, missing, kValueBuffer);
        field.assign(value.data(), value.size());
    };

    vzrVersion = static_cast<int32_t>(number("vzrVersion", 0));
    if (dimFirstRead) {
        dimFirstRead = false;
        dimLeft = static_cast<int32_t>(number("dimLeft", 0));
        dimTop = static_cast<int32_t>(number("dimTop", 0));
        dimWidth = static_cast<int32_t>(number("dimWidth", 275));
        dimHeight = static_cast<int32_t>(number("dimHeight", 116));
    }
    text(dimResolution, "dimResolution", "1x1");
    tofOnOff = number("tofOnOff", 0);
    vumOnOff = number("vumOnOff", 1);
    text(vumType, "vumType", "Double Fixed Point");
    oscOnOff = number("oscOnOff", 1);
    oscRotate = number("oscRotate", 0);
    text(oscType, "oscType", "Waveform");
    text(oscSamplingRate, "oscSamplingRate", "1x3");
    text(oscRenderingMode, "oscRenderingMode", "Water");
    bgrOnOff = number("bgrOnOff", 0);
    text(bgrName, "bgrName", "Late Afternoon");
    mdlOnOff = number("mdlOnOff", 0);
    mdlBeat = number("mdlBeat", 1);
    mdlEffectsOnOff = number("mdlEffectsOnOff", 0);
    text(mdlEffectsType, "mdlEffectsType", "Ghost");
    mdlDynamicTextureOnOff = number("mdlDynamicTextureOnOff", 1);
    text(mdlName, "mdlName", "Vizorama");
    text(mdlColorMap, "mdlColorMap", "RGB");
    text(camPosition, "camPosition", "Spin");
    texBits = number("texBits", 16);
    lhtOnOff = number("lhtOnOff", 0);
    lhtRotate = number("lhtRotate", 1);
    lhtStroboscope = number("lhtStroboscope", 0);
    lhtAmbient = number("lhtAmbient", 0x3f7fff);
    lhtDiffuse = number("lhtDiffuse", 0x3f3f3f);
    lhtSpecularLeft = number("lhtSpecularLeft", 0x00ff00);
    lhtSpecularRight = number("lhtSpecularRight", 0xff7f00);
    unpackColours();
    return true;
}

bool Settings::writeFile(const std::string& fullPath, const std::string& section) {
    if (fullPath.empty()) return false;
    std::string path = platform::nativePath(fullPath);
    ProfileFile file;
    // Never replace a file we could not read: its other contents would be lost.
    if (file.load(path) == platform::ReadResult::Failed) return false;

    auto put = [&](const char* key, const std::string& value) { file.set(section, key, value); };
    auto putUnsigned = [&](const char* key, uint32_t value) {
        put(key, formatUnsigned("%lu", value));
    };
    auto putColour = [&](const char* key, uint32_t& packed, const Rgb& rgb) {
        packed = packColour(rgb.r, rgb.g, rgb.b);
        put(key, formatUnsigned("%#0.8lx", packed));
    };

    put("vzrVersion", format("%ld", kSettingsVersion));
    put("dimLeft", format("%ld", dimLeft));
    put("dimTop", format("%ld", dimTop));
    put("dimWidth", format("%ld", dimWidth));
    put("dimHeight", format("%ld", dimHeight));
    put("dimResolution", dimResolution);
    putUnsigned("tofOnOff", tofOnOff);
    putUnsigned("vumOnOff", vumOnOff);
    put("vumType", vumType);
    putUnsigned("oscOnOff", oscOnOff);
    putUnsigned("oscRotate", oscRotate);
    put("oscType", oscType);
    put("oscSamplingRate", oscSamplingRate);
    put("oscRenderingMode", oscRenderingMode);
    putUnsigned("bgrOnOff", bgrOnOff);
    put("bgrName", bgrName);
    putUnsigned("mdlOnOff", mdlOnOff);
    putUnsigned("mdlBeat", mdlBeat);
    putUnsigned("mdlEffectsOnOff", mdlEffectsOnOff);
    put("mdlEffectsType", mdlEffectsType);
    putUnsigned("mdlDynamicTextureOnOff", mdlDynamicTextureOnOff);
    put("mdlColorMap", mdlColorMap);
    put("mdlName", mdlName);
    put("camPosition", camPosition);
    putUnsigned("texBits", texBits);
    putUnsigned("lhtOnOff", lhtOnOff);
    putUnsigned("lhtRotate", lhtRotate);
    putUnsigned("lhtStroboscope", lhtStroboscope);
    putColour("lhtAmbient", lhtAmbient, ambientRgb);
    putColour("lhtDiffuse", lhtDiffuse, diffuseRgb);
    putColour("lhtSpecularLeft", lhtSpecularLeft, specularLeftRgb);
    putColour("lhtSpecularRight", lhtSpecularRight, specularRightRgb);
    return file.save(path);
}

void Settings::adoptChoicesFrom(const Settings& other) {
    const bool firstRead = dimFirstRead;
    const int32_t left = dimLeft, top = dimTop, width = dimWidth, height = dimHeight;
    *this = other;
    dimFirstRead = firstRead;
    dimLeft = left;
    dimTop = top;
    dimWidth = width;
    dimHeight = height;
}
