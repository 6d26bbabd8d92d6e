#include "tools/texgen/DialogArt.h"
#include "tools/texgen/ProgramIcon.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "tools/texgen/PixelFont.h"
#include "tools/texgen/Procedural.h"
#include "tools/texgen/SkyboxArt.h"
#include "tools/texgen/TextureArt.h"

namespace {

// The plug-in's default light colours: the left light green, the right one azure.
const Colour kLeftLight = rgb(0, 255, 0);
const Colour kRightLight = rgb(0, 127, 255);

// Light added on top of a picture, kept apart so it can be exposed softly at the end.
struct LightLayer {
    int width, height;
    std::vector<Colour> light;

    LightLayer(int w, int h) : width(w), height(h), light(static_cast<size_t>(w) * h) {}
    void add(int x, int y, Colour c) {
        if (x >= 0 && y >= 0 && x < width && y < height)
            light[static_cast<size_t>(y) * width + x] = light[static_cast<size_t>(y) * width + x] + c;
    }
    Colour at(int x, int y) const { return light[static_cast<size_t>(y) * width + x]; }

    // A glowing line from (x0, y0) to (x1, y1): a thin bright core in a soft halo.
    void line(float x0, float y0, float x1, float y1, Colour c, float width) {
        int left = static_cast<int>(std::floor(std::min(x0, x1) - 3 * width));
        int right = static_cast<int>(std::ceil(std::max(x0, x1) + 3 * width));
        int top = static_cast<int>(std::floor(std::min(y0, y1) - 3 * width));
        int bottom = static_cast<int>(std::ceil(std::max(y0, y1) + 3 * width));
        float dx = x1 - x0, dy = y1 - y0, length2 = dx * dx + dy * dy;
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x) {
                float px = x + 0.5f - x0, py = y + 0.5f - y0;
                float t = length2 > 0 ? std::clamp((px * dx + py * dy) / length2, 0.0f, 1.0f) : 0;
                float ex = px - t * dx, ey = py - t * dy;
                float d2 = ex * ex + ey * ey;
                float core = std::exp(-d2 / (0.35f * width * width));
                float halo = 0.25f * std::exp(-d2 / (2.5f * width * width));
                add(x, y, c * (core + halo));
            }
    }

    // One of the plug-in's pulsar flares, tinted, centred at (cx, cy).
    void flare(float cx, float cy, float size, Colour tint) {
        for (int y = static_cast<int>(cy - 30); y <= static_cast<int>(cy + 30); ++y)
            for (int x = static_cast<int>(cx - 30); x <= static_cast<int>(cx + 30); ++x) {
                float v = pulsarFlare(size, x + 0.5f - cx, y + 0.5f - cy);
                // White in the hot core, the light's colour around it.
                add(x, y, mix(tint, rgb(255, 255, 255), std::min(v * 0.35f, 1.0f)) * v);
            }
    }
};

// Soft exposure of added light: linear when faint, saturating towards white.
Colour exposed(Colour base, Colour light) {
    auto one = [](float b, float l) { return b + (1 - b) * (1 - std::exp(-l)); };
    return {one(std::min(base.r, 1.0f), light.r), one(std::min(base.g, 1.0f), light.g),
            one(std::min(base.b, 1.0f), light.b)};
}

// The sky looking towards the sun, azimuth across the picture's width (radians either side of
// the sun's) and elevation from top to bottom.
Colour skyAt(float u, float v, float halfAngle, float top, float bottom, float turn) {
    float azimuth = std::atan2(0.28f, 0.95f) + turn + (2 * u - 1) * halfAngle;
    float elevation = top + (bottom - top) * v;
    return lateAfternoonSky(std::sin(azimuth), elevation, std::cos(azimuth));
}

}  // namespace

Image makeBanner() {
    const int width = 302, height = 68;
    const char* title = "VIZORAMA";
    const char* subtitle = "configuration utility";
    const int titleScale = 4, titleLeft = 14, titleTop = 9;
    const int subtitleLeft = titleLeft + 2, subtitleTop = titleTop + kCapHeight * titleScale + 8;

    Mask titleMask(width, height), subtitleMask(width, height);
    stampText(titleMask, title, titleLeft, titleTop, titleScale);
    stampText(subtitleMask, subtitle, subtitleLeft, subtitleTop, 1);
    Mask titleGlow = blurred(titleMask, 5);
    Mask titleShadow = blurred(titleMask, 1.5f);
    Mask subtitleShadow = blurred(subtitleMask, 1.2f);

    LightLayer light(width, height);
    // An oscilloscope trace along the bottom, and the two lights' flares at the right.
    float previousY = 0;
    for (int x = 0; x <= width; x += 2) {
        float u = x / float(width);
        float y = height - 13 + 5 * std::sin(u * 19 + 0.6f) * std::sin(u * 4.1f + 0.3f) +
                  2.0f * std::sin(u * 53);
        if (x > 0) light.line(x - 2.0f, previousY, float(x), y, rgb(60, 190, 255) * 0.9f, 1.1f);
        previousY = y;
    }
    light.flare(width - 80.5f, 24.5f, 0.75f, kLeftLight);
    light.flare(width - 38.5f, 21.5f, 0.6f, kRightLight);

    Image image(width, height, 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float u = (x + 0.5f) / width, v = (y + 0.5f) / height;
            Colour c = skyAt(u, v, 0.9f, 0.62f, -0.06f, -0.85f);
            // Dusk falls from the left, where the name stands.
            c = c * (0.42f + 0.58f * smoothstep(0.05f, 0.95f, u));
            c = c * (1 - 0.65f * titleShadow.at(x - 2, y - 2));
            c = c + rgb(40, 150, 255) * (0.8f * titleGlow.at(x, y));
            float ink = titleMask.at(x, y);
            if (ink > 0) {
                float k = (y - titleTop) / float(kCapHeight * titleScale);
                Colour face = mix(rgb(240, 250, 255), rgb(160, 120, 255), k);
                if (titleMask.at(x, y - 2) == 0) face = mix(face, rgb(255, 255, 255), 0.6f);
                if (titleMask.at(x, y + 2) == 0) face = face * 0.7f;
                c = face;
            }
            c = c * (1 - 0.5f * subtitleShadow.at(x - 1, y - 1));
            if (subtitleMask.at(x, y) > 0) c = rgb(225, 238, 250);
            putColour(image, x, y, exposed(c, light.at(x, y)));
        }
    }
    return image;
}

Image makeAboutPicture() {
    const int width = 240, height = 138;
    const float horizon = 52;  // the row of the eye's height
    const float focal = 150;

    // The oscilloscope surface as a wireframe grid in front of the viewer: columns across,
    // rows receding, heights from two crossing waves like the filtered surface types.
    const int columns = 28, rows = 18;
    auto surfaceHeight = [](float x, float z) {
        return 0.22f * std::sin(2.6f * x + 0.9f * z) * std::cos(1.3f * z - 0.4f * x) +
               0.08f * std::sin(7.0f * x - 2.0f * z);
    };
    auto project = [&](float x, float z, float& px, float& py) {
        const float eyeHeight = 0.85f, eyeZ = -0.6f;
        float depth = z - eyeZ;
        px = width / 2.0f + focal * x / depth;
        py = horizon + focal * (eyeHeight - surfaceHeight(x, z)) / depth;
    };

    LightLayer light(width, height);
    for (int r = rows - 1; r >= 0; --r) {  // far rows first; the light only adds up
        float z = 0.6f + r * 0.3f;
        float fade = 1.0f - 0.75f * r / float(rows - 1);
        for (int c = 0; c <= columns; ++c) {
            float x = -2.1f + 4.2f * c / columns;
            float px, py;
            project(x, z, px, py);
            Colour colour = mix(rgb(40, 200, 255), rgb(170, 90, 255), c / float(columns));
            colour = colour * (0.55f * fade);
            if (c < columns) {
                float nx, ny;
                project(-2.1f + 4.2f * (c + 1) / columns, z, nx, ny);
                light.line(px, py, nx, ny, colour, 0.8f);
            }
            if (r < rows - 1) {
                float fx, fy;
                project(x, z + 0.3f, fx, fy);
                light.line(px, py, fx, fy, colour, 0.8f);
            }
        }
    }
    light.flare(62.5f, 34.5f, 0.85f, kLeftLight);
    light.flare(178.5f, 30.5f, 0.7f, kRightLight);

    Image image(width, height, 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float u = (x + 0.5f) / width, v = (y + 0.5f) / height;
            Colour c = skyAt(u, v, 0.75f, 0.42f, -0.55f, -0.1f);
            // The land darkens towards the viewer, so the surface stands out against it.
            if (y > horizon) c = c * (1 - 0.6f * smoothstep(horizon, float(height), float(y)));
            float star = hashUnit(x, y, 17);
            if (y < horizon * 0.6f && star > 0.997f) c = c + rgb(120, 120, 140) * (1 - v);
            putColour(image, x, y, exposed(c, light.at(x, y)));
        }
    }
    return image;
}

std::vector<uint8_t> encodeBmp(const Image& image) {
    const uint32_t stride = (static_cast<uint32_t>(image.width) * 3 + 3) & ~3u;
    const uint32_t pixelBytes = stride * static_cast<uint32_t>(image.height);
    std::vector<uint8_t> out;
    auto put16 = [&](uint32_t v) {
        out.push_back(static_cast<uint8_t>(v));
        out.push_back(static_cast<uint8_t>(v >> 8));
    };
    auto put32 = [&](uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    out.push_back('B');
    out.push_back('M');
    put32(54 + pixelBytes);
    put32(0);
    put32(54);
    put32(40);  // BITMAPINFOHEADER
    put32(static_cast<uint32_t>(image.width));
    put32(static_cast<uint32_t>(image.height));  // positive: bottom row first
    put16(1);
    put16(24);
    put32(0);  // uncompressed
    put32(pixelBytes);
    put32(3780);  // 96 dots per inch
    put32(3780);
    put32(0);
    put32(0);
    for (int y = image.height - 1; y >= 0; --y) {
        size_t rowStart = out.size();
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* p = image.at(x, y);
            out.push_back(p[2]);
            out.push_back(p[1]);
            out.push_back(p[0]);
        }
        out.resize(rowStart + stride, 0);
    }
    return out;
}

bool writeDialogArt(const std::string& folder, std::string& error) {
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec)) {
        error = "not a folder: " + folder;
        return false;
    }
    const std::pair<const char*, Image> pictures[] = {{"Banner.bmp", makeBanner()},
                                                      {"About.bmp", makeAboutPicture()}};
    for (const auto& [name, image] : pictures) {
        std::filesystem::path path = std::filesystem::path(folder) / name;
        std::vector<uint8_t> bytes = encodeBmp(image);
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        file.close();
        if (!file) {
            error = "cannot write " + path.string();
            return false;
        }
    }
    // The Windows program's icon, for its resource script.
    const std::vector<uint8_t> icon = encodeIco({paintProgramIcon(16), paintProgramIcon(32), paintProgramIcon(48)});
    std::ofstream file(std::filesystem::path(folder) / "Vizorama.ico", std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(icon.data()), static_cast<std::streamsize>(icon.size()));
    file.close();
    if (!file) {
        error = "cannot write Vizorama.ico in " + folder;
        return false;
    }
    return true;
}
