#include "tools/texgen/SkyboxArt.h"

#include <cmath>
#include <filesystem>

#include "tools/texgen/Image.h"
#include "tools/texgen/Procedural.h"

namespace {

constexpr int kFaceSize = 128;
constexpr float kPi = 3.14159265f;

struct Direction {
    float x, y, z;
};

}  // namespace

Colour lateAfternoonSky(float x, float y, float z) {
    Direction d{x, y, z};
    float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    d = {d.x / length, d.y / length, d.z / length};
    float azimuth = std::atan2(d.x, d.z) / (2 * kPi) + 0.5f;  // 0..1 around the horizon
    float elevation = d.y;

    // Distant hills: a horizon raised by periodic noise around the full circle.
    float hills = 0.03f + 0.07f * periodicNoise(azimuth, 0.5f, 9, 7) +
                  0.03f * periodicNoise(azimuth, 0.5f, 31, 11);
    if (elevation < hills) {
        float depth = std::clamp((hills - elevation) * 4, 0.0f, 1.0f);
        Colour haze = rgb(120, 80, 110), land = rgb(34, 28, 40);
        return mix(haze, land, std::sqrt(depth));
    }

    const Direction sun = {0.28f, 0.12f, 0.95f};
    float sunLength = std::sqrt(sun.x * sun.x + sun.y * sun.y + sun.z * sun.z);
    float facing = (d.x * sun.x + d.y * sun.y + d.z * sun.z) / sunLength;
    float height = std::pow(std::clamp(elevation, 0.0f, 1.0f), 0.6f);
    Colour horizon = rgb(255, 172, 104), middle = rgb(214, 128, 120), zenith = rgb(44, 72, 150);
    Colour sky = height < 0.35f ? mix(horizon, middle, height / 0.35f)
                                : mix(middle, zenith, (height - 0.35f) / 0.65f);
    // Thin clouds in bands, lit from below by the sun.
    float clouds = periodicNoise(azimuth * 2, elevation * 3, 12, 23);
    clouds = std::clamp((clouds - 0.55f) * 3, 0.0f, 1.0f) * (1 - height);
    sky = mix(sky, rgb(255, 214, 170), clouds * 0.6f);
    // The sun and its glow.
    float glow = std::pow(std::max(facing, 0.0f), 40.0f) * 0.7f +
                 std::pow(std::max(facing, 0.0f), 6.0f) * 0.25f;
    if (facing > 0.9985f) glow = 1.5f;
    return sky + rgb(255, 220, 160) * glow;
}

namespace {

// A face: for texture coordinates (s, t) with t = 0 at the bottom row, the direction it shows.
template <typename Map>
Image paintFace(Map toDirection) {
    Image face(kFaceSize, kFaceSize, 3);
    for (int y = 0; y < kFaceSize; ++y)
        for (int x = 0; x < kFaceSize; ++x) {
            float s = (x + 0.5f) / kFaceSize, t = 1 - (y + 0.5f) / kFaceSize;
            Direction d = toDirection(s, t);
            putColour(face, x, y, lateAfternoonSky(d.x, d.y, d.z));
        }
    return face;
}

}  // namespace

std::vector<NamedTexture> makeLateAfternoonSkybox() {
    // How the plug-in lays the pictures on the cube, seen from inside.
    return {
        {"Left.tga", paintFace([](float s, float t) { return Direction{1, 2 * t - 1, 2 * s - 1}; })},
        {"Right.tga", paintFace([](float s, float t) { return Direction{-1, 2 * t - 1, 1 - 2 * s}; })},
        {"Back.tga", paintFace([](float s, float t) { return Direction{1 - 2 * s, 2 * t - 1, 1}; })},
        {"Front.tga", paintFace([](float s, float t) { return Direction{2 * s - 1, 2 * t - 1, -1}; })},
        {"Up.tga", paintFace([](float s, float t) { return Direction{2 * t - 1, 1, 1 - 2 * s}; })},
        {"Down.tga", paintFace([](float s, float t) { return Direction{1 - 2 * t, -1, 1 - 2 * s}; })},
    };
}

bool writeDefaultSkybox(const std::string& folder, std::string& error) {
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        error = "not a folder: " + folder;
        return false;
    }
    std::filesystem::path target = std::filesystem::path(folder) / "Skyboxes" / kDefaultSkybox;
    std::filesystem::create_directories(target, ec);
    for (const NamedTexture& face : makeLateAfternoonSkybox())
        if (!writeBinaryFile((target / face.fileName).string(), encodeTga(face.image), error))
            return false;
    return true;
}
