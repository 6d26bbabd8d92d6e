#include "frontend/WindowPlace.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "platform/Platform.h"

namespace {

constexpr int kMinSize = 16, kMaxSize = 16384;
constexpr long kFarthest = 1000000;  // a place further out is no desktop's

// The whole text of a line's value as a number within [low, high].
bool numberIn(const std::string& text, long low, long high, int& out) {
    char* end = nullptr;
    const long n = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || n < low || n > high) return false;
    out = static_cast<int>(n);
    return true;
}

}  // namespace

std::string windowPlaceText(const WindowPlace& place) {
    std::ostringstream out;
    out << "x=" << place.rect.x << "\ny=" << place.rect.y << "\nwidth=" << place.rect.width
        << "\nheight=" << place.rect.height << "\nfullscreen=" << (place.fullScreen ? 1 : 0)
        << "\n";
    return out.str();
}

bool parseWindowPlace(const std::string& text, WindowPlace& place) {
    WindowPlace read;
    int fullScreen = 0;
    struct Field {
        const char* key;
        long low, high;
        int* value;
        bool found;
    } fields[] = {{"x", -kFarthest, kFarthest, &read.rect.x, false},
                  {"y", -kFarthest, kFarthest, &read.rect.y, false},
                  {"width", kMinSize, kMaxSize, &read.rect.width, false},
                  {"height", kMinSize, kMaxSize, &read.rect.height, false},
                  {"fullscreen", 0, 1, &fullScreen, false}};
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        for (Field& f : fields) {
            if (line.compare(0, equals, f.key) != 0 || equals != std::strlen(f.key)) continue;
            if (!numberIn(line.substr(equals + 1), f.low, f.high, *f.value)) return false;
            f.found = true;
        }
    }
    for (const Field& f : fields)
        if (!f.found) return false;
    read.placed = true;
    read.fullScreen = fullScreen == 1;
    place = read;
    return true;
}

bool readWindowPlace(const std::string& path, WindowPlace& place) {
    std::string text;
    return !path.empty() && platform::readWholeFile(path, text, 4096) == platform::ReadResult::Ok &&
           parseWindowPlace(text, place);
}

bool writeWindowPlace(const std::string& path, const WindowPlace& place) {
    const size_t slash = path.find_last_of("/\\");
    if (path.empty() || slash == std::string::npos || !platform::makeFolders(path.substr(0, slash + 1)))
        return false;
    return platform::writeFileAtomically(path, windowPlaceText(place));
}

WindowPlace placeOnDisplays(WindowPlace place, const std::vector<Rect>& displays) {
    if (displays.empty()) return place;
    Rect& r = place.rect;
    if (place.placed) {
        for (const Rect& d : displays) {
            const int across = std::min(r.x + r.width, d.x + d.width) - std::max(r.x, d.x);
            const int down = std::min(r.y + r.height, d.y + d.height) - std::max(r.y, d.y);
            if (across >= std::min(64, r.width) && down >= std::min(32, r.height)) return place;
        }
    }
    const Rect& first = displays.front();
    r.width = std::max(std::min(r.width, first.width), std::min(kMinSize, first.width));
    r.height = std::max(std::min(r.height, first.height), std::min(kMinSize, first.height));
    r.x = first.x + (first.width - r.width) / 2;
    r.y = first.y + (first.height - r.height) / 2;
    place.placed = true;
    return place;
}

float pixelRatio(int windowWidth, int drawableWidth) {
    if (windowWidth <= 0 || drawableWidth <= 0) return 1;
    return static_cast<float>(drawableWidth) / static_cast<float>(windowWidth);
}
