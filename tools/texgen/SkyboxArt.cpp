#include "tools/texgen/SkyboxArt.h"

#include <cmath>
#include <filesystem>

#include "tools/texgen/Image.h"
#include "tools/texgen/Procedural.h"
#include "tools/texgen/Vec3.h"

namespace {

constexpr float kPi = 3.14159265f;

// Where around the horizon a direction points, 0..1 (periodic), and how high, -1..1.
float azimuthOf(Vec3 d) { return std::atan2(d.x, d.z) / (2 * kPi) + 0.5f; }

// A point of light painted over a sky: where it stands, how bright and of what colour, and its
// spread in pixels.
struct Star {
    Vec3 direction;
    Colour colour;
    float spread;
};

// A sky: its colour in each direction (unit, y up) and the points of light painted over it.
struct SkyDesign {
    const char* name;
    int faceSize;
    Colour (*colour)(Vec3 d);
    std::vector<Star> (*stars)();
};

// A face of the cube seen from inside: the direction it shows at texture coordinates (s, t),
// t = 0 at its bottom row, is centre + (2s - 1) across + (2t - 1) up.
struct FaceFrame {
    const char* fileName;
    Vec3 centre, across, up;
};

// How the plug-in lays the pictures on the cube, seen from inside.
const FaceFrame kFaces[] = {
    {"Left.tga", {1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
    {"Right.tga", {-1, 0, 0}, {0, 0, -1}, {0, 1, 0}},
    {"Back.tga", {0, 0, 1}, {-1, 0, 0}, {0, 1, 0}},
    {"Front.tga", {0, 0, -1}, {1, 0, 0}, {0, 1, 0}},
    {"Up.tga", {0, 1, 0}, {0, 0, -1}, {1, 0, 0}},
    {"Down.tga", {0, -1, 0}, {0, 0, -1}, {-1, 0, 0}},
};

// A random direction, evenly spread over the sphere, from two numbers in [0, 1).
Vec3 directionFrom(float a, float b) {
    float y = 2 * a - 1, r = std::sqrt(std::max(0.0f, 1 - y * y)), phi = 2 * kPi * b;
    return {r * std::cos(phi), y, r * std::sin(phi)};
}

Image paintFace(const SkyDesign& sky, const FaceFrame& face) {
    const int size = sky.faceSize;
    std::vector<Colour> light(static_cast<size_t>(size) * size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float s = (x + 0.5f) / size, t = 1 - (y + 0.5f) / size;
            Vec3 d = face.centre + face.across * (2 * s - 1) + face.up * (2 * t - 1);
            light[static_cast<size_t>(y) * size + x] = sky.colour(normalised(d));
        }
    // Each star on the face its direction leaves through, as a small round glow; those within
    // a pixel or two of an edge are left out rather than cut in half.
    for (const Star& star : sky.stars ? sky.stars() : std::vector<Star>{}) {
        float depth = dot(star.direction, face.centre);
        if (depth <= 0) continue;
        Vec3 p = star.direction * (1 / depth);
        float s = (dot(p, face.across) + 1) / 2, t = (dot(p, face.up) + 1) / 2;
        float px = s * size - 0.5f, py = (1 - t) * size - 0.5f;
        if (px < 2 || py < 2 || px > size - 3 || py > size - 3) continue;
        for (int y = static_cast<int>(py) - 2; y <= static_cast<int>(py) + 2; ++y)
            for (int x = static_cast<int>(px) - 2; x <= static_cast<int>(px) + 2; ++x) {
                float r2 = (x - px) * (x - px) + (y - py) * (y - py);
                Colour& c = light[static_cast<size_t>(y) * size + x];
                c = c + star.colour * std::exp(-r2 / (2 * star.spread * star.spread));
            }
    }
    Image image(size, size, 3);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) putColour(image, x, y, light[static_cast<size_t>(y) * size + x]);
    return image;
}

std::vector<NamedTexture> paintSkybox(const SkyDesign& sky) {
    std::vector<NamedTexture> faces;
    for (const FaceFrame& face : kFaces) faces.push_back({face.fileName, paintFace(sky, face)});
    return faces;
}

// Midnight: the moon high over the back left, the Milky Way across the sky, an aurora low in
// the front (-z), a ridge of mountains around the horizon.
const Vec3 kMoon = normalised({-0.3f, 0.5f, 0.85f});
const Vec3 kMilkyWayPole = normalised({0.45f, 0.35f, -0.6f});
constexpr float kMoonRadius = 0.055f;  // radians: about ten pixels across on a 256 face

float midnightRidge(float azimuth) {
    float ridged = 1 - std::fabs(2 * periodicNoise(azimuth, 0.5f, 11, 41) - 1);
    return 0.015f + 0.07f * ridged * ridged + 0.025f * periodicNoise(azimuth, 0.5f, 37, 43);
}

float milkyWay(Vec3 d) {
    float off = dot(d, kMilkyWayPole);
    return std::exp(-off * off / 0.018f);
}

Colour midnightSky(Vec3 d) {
    float azimuth = azimuthOf(d), elevation = d.y;
    float ridge = midnightRidge(azimuth);
    if (elevation < ridge) {
        float depth = std::clamp((ridge - elevation) * 6, 0.0f, 1.0f);
        return mix(rgb(22, 26, 48), rgb(4, 5, 10), std::sqrt(depth));
    }
    float height = std::pow(std::clamp(elevation, 0.0f, 1.0f), 0.5f);
    Colour sky = mix(rgb(24, 36, 74), rgb(3, 5, 17), height);

    // The Milky Way: a cloudy band with a dark lane of dust along it.
    float band = milkyWay(d);
    float clouds = periodicFbm(azimuth, elevation * 0.5f + 0.5f, 8, 4, 51);
    float lane = 1 - 0.7f * std::exp(-std::pow(dot(d, kMilkyWayPole) - 0.03f, 2.0f) / 0.0015f) *
                         periodicNoise(azimuth, 0.3f, 20, 53);
    sky = sky + rgb(120, 110, 150) * (0.55f * band * clouds * clouds * lane);

    // The aurora: curtains of rays rising from a wavering base, green below and violet above.
    Vec3 flat = normalised({d.x, 0, d.z});
    float facing = dot(flat, normalised({0.35f, 0, -1}));
    float curtain = smoothstep(0.2f, 0.75f, facing);
    if (curtain > 0) {
        float base = 0.1f + 0.06f * periodicNoise(azimuth, 0.5f, 9, 61);
        float above = elevation - base;
        float rays = periodicNoise(azimuth + 0.01f * above, 0.5f, 90, 63);
        rays = 0.25f + 0.75f * rays * rays;
        float rise = smoothstep(-0.015f, 0.01f, above) * std::exp(-std::max(above, 0.0f) * 5);
        Colour hue = mix(rgb(70, 255, 150), rgb(170, 70, 220), smoothstep(0.0f, 0.3f, above));
        sky = sky + hue * (0.6f * curtain * rays * rise);
    }

    // The moon, with its darker seas, and its halo.
    float toMoon = std::acos(std::clamp(dot(d, kMoon), -1.0f, 1.0f));
    if (toMoon < kMoonRadius) {
        Vec3 east = normalised(cross({0, 1, 0}, kMoon)), north = cross(kMoon, east);
        float u = dot(d, east) / kMoonRadius, v = dot(d, north) / kMoonRadius;
        float seas = periodicFbm(0.5f + 0.25f * u, 0.5f + 0.25f * v, 4, 3, 71);
        float limb = std::sqrt(std::max(0.0f, 1 - u * u - v * v));
        Colour surface = mix(rgb(250, 246, 226), rgb(170, 172, 176), smoothstep(0.45f, 0.7f, seas));
        return surface * (0.75f + 0.25f * limb);
    }
    return sky + rgb(150, 170, 220) * (0.35f * std::exp(-(toMoon - kMoonRadius) / 0.05f) +
                                       0.08f * std::exp(-toMoon / 0.5f));
}

std::vector<Star> midnightStars() {
    std::vector<Star> stars;
    const Colour tints[] = {rgb(190, 210, 255), rgb(255, 255, 255), rgb(255, 240, 200),
                            rgb(255, 200, 150)};
    for (int i = 0; i < 6000; ++i) {
        Vec3 d = directionFrom(hashUnit(i, 1, 101), hashUnit(i, 2, 101));
        if (d.y < midnightRidge(azimuthOf(d)) + 0.01f) continue;
        if (std::acos(std::clamp(dot(d, kMoon), -1.0f, 1.0f)) < 3 * kMoonRadius) continue;
        // Most stars are faint; the Milky Way holds more of them.
        bool inBand = i >= 3000;
        if (inBand && hashUnit(i, 3, 101) > milkyWay(d)) continue;
        float bright = std::pow(hashUnit(i, 4, 101), 8.0f);
        float strength = (inBand ? 0.35f : 0.45f) + 1.6f * bright;
        Colour tint = tints[static_cast<int>(hashUnit(i, 5, 101) * 4)];
        stars.push_back({d, tint * strength, 0.45f + 0.45f * bright});
    }
    return stars;
}

// Undersea: the surface overhead seen through its bright window, the sun's shafts of light
// slanting down through the water, and the deep below.
const Vec3 kUnderseaSun = normalised({0.25f, 1, 0.15f});

Colour underseaSky(Vec3 d) {
    float azimuth = azimuthOf(d), elevation = d.y;
    Colour water = elevation < -0.3f ? mix(rgb(1, 5, 14), rgb(4, 30, 50), smoothstep(-1, -0.3f, elevation))
                   : elevation < 0.2f ? mix(rgb(4, 30, 50), rgb(10, 72, 96), smoothstep(-0.3f, 0.2f, elevation))
                                      : mix(rgb(10, 72, 96), rgb(22, 118, 140), smoothstep(0.2f, 0.7f, elevation));
    // Slow swirls of plankton in the water.
    water = water * (0.85f + 0.3f * periodicFbm(azimuth, elevation * 0.5f + 0.5f, 6, 3, 201));

    // Shafts of light: streaks around the horizon that fade with depth.
    float shafts = periodicNoise(azimuth, 0.5f, 56, 211) * periodicNoise(azimuth, 0.5f, 23, 213);
    shafts = shafts * shafts * smoothstep(-0.6f, 0.5f, elevation) * (1 - smoothstep(0.55f, 0.7f, elevation));
    water = water + rgb(110, 220, 215) * (0.5f * shafts);

    // Snell's window: above about 49 degrees from the zenith the surface shows the bright sky,
    // rippled by the waves; outside it the surface mirrors the dark water.
    const float windowEdge = 0.656f;  // cos(49 degrees)
    if (elevation > windowEdge - 0.05f) {
        float u = d.x / elevation * 0.6f, v = d.z / elevation * 0.6f;
        CellDistances cells = periodicCells(u + 0.1f * periodicNoise(u, v, 5, 221), v, 7, 223);
        float ripple = 1 - smoothstep(0.0f, 0.18f, cells.second - cells.nearest);
        Colour surface = mix(rgb(70, 190, 205), rgb(210, 250, 245), 0.35f + 0.65f * ripple);
        float inside = smoothstep(windowEdge - 0.05f, windowEdge + 0.03f, elevation);
        float rim = std::exp(-std::pow((elevation - windowEdge) / 0.02f, 2.0f));
        water = mix(water, surface, inside) + rgb(200, 255, 250) * (0.35f * rim);
        float sun = std::max(dot(d, kUnderseaSun), 0.0f);
        water = water + rgb(255, 250, 225) * (std::pow(sun, 300.0f) * 1.2f + std::pow(sun, 20.0f) * 0.3f);
    }
    return water;
}

std::vector<Star> underseaSpecks() {
    std::vector<Star> specks;
    for (int i = 0; i < 2500; ++i) {
        Vec3 d = directionFrom(hashUnit(i, 1, 301), hashUnit(i, 2, 301));
        if (d.y > 0.6f) continue;
        float strength = 0.06f + 0.22f * std::pow(hashUnit(i, 3, 301), 3.0f);
        strength *= 1 - 0.6f * smoothstep(0.0f, -0.8f, d.y);  // fainter in the deep
        specks.push_back({d, rgb(200, 255, 230) * strength, 0.5f + 0.4f * hashUnit(i, 4, 301)});
    }
    return specks;
}

Colour lateAfternoon(Vec3 d) { return lateAfternoonSky(d.x, d.y, d.z); }

const SkyDesign kSkies[] = {
    {kDefaultSkybox, 128, lateAfternoon, nullptr},
    {"Midnight", 256, midnightSky, midnightStars},
    {"Undersea", 256, underseaSky, underseaSpecks},
};

}  // namespace

Colour lateAfternoonSky(float x, float y, float z) {
    Vec3 d = normalised({x, y, z});
    float azimuth = azimuthOf(d);  // 0..1 around the horizon
    float elevation = d.y;

    // Distant hills: a horizon raised by periodic noise around the full circle.
    float hills = 0.03f + 0.07f * periodicNoise(azimuth, 0.5f, 9, 7) +
                  0.03f * periodicNoise(azimuth, 0.5f, 31, 11);
    if (elevation < hills) {
        float depth = std::clamp((hills - elevation) * 4, 0.0f, 1.0f);
        Colour haze = rgb(120, 80, 110), land = rgb(34, 28, 40);
        return mix(haze, land, std::sqrt(depth));
    }

    const Vec3 sun = normalised({0.28f, 0.12f, 0.95f});
    float facing = dot(d, sun);
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

std::vector<NamedTexture> makeLateAfternoonSkybox() { return paintSkybox(kSkies[0]); }

std::vector<SkyboxPictures> makeSkyboxes() {
    std::vector<SkyboxPictures> skies;
    for (const SkyDesign& sky : kSkies) skies.push_back({sky.name, paintSkybox(sky)});
    return skies;
}

bool writeSkyboxes(const std::string& folder, std::string& error) {
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        error = "not a folder: " + folder;
        return false;
    }
    for (const SkyboxPictures& sky : makeSkyboxes()) {
        std::filesystem::path target = std::filesystem::path(folder) / "Skyboxes" / sky.name;
        std::filesystem::create_directories(target, ec);
        for (const NamedTexture& face : sky.faces)
            if (!writeBinaryFile((target / face.fileName).string(), encodeTga(face.image), error))
                return false;
    }
    return true;
}
