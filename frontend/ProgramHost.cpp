#include "frontend/ProgramHost.h"

#include <cstdio>

bool ProgramHost::saveSettings(Settings& settings, KeySet keys) {
    const std::string problem = store_.save(settings, keys);
    tell(problem);
    return problem.empty() && store_.keepsChanges();
}

void ProgramHost::setDrawable(int width, int height, float pixelRatio) {
    width_ = width;
    height_ = height;
    pixelRatio_ = pixelRatio;
    if (!scene_.settings) return;
    Settings& s = *scene_.settings;
    s.dimLeft = 0;
    s.dimTop = 0;
    s.dimWidth = width;
    s.dimHeight = height;
}

void ProgramHost::showError(const char* text, const char* caption) {
    std::string line = std::string(caption ? caption : "Error") + ": " + (text ? text : "");
    std::fprintf(stderr, "vizorama: %s\n", line.c_str());
    // A message of two lines (a failure and its reason) stays one line in the window.
    for (char& c : line)
        if (c == '\n') c = ' ';
    errorLines_.push_back(line);
}

void ProgramHost::tell(const std::string& text) {
    if (text.empty()) return;
    std::fprintf(stderr, "vizorama: %s\n", text.c_str());
    // In the window a line a clause ("cannot read ...", "settings changed now last ..."): short
    // enough for larger text, and the font has no semicolon.
    size_t from = 0;
    for (size_t at; (at = text.find("; ", from)) != std::string::npos; from = at + 2)
        errorLines_.push_back(text.substr(from, at - from));
    errorLines_.push_back(text.substr(from));
}
