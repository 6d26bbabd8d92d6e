#include "host/CallTimes.h"

#include <algorithm>
#include <cstdio>

#include "settings/ProfileFile.h"
#include "settings/Settings.h"

bool parseSettingsSwitch(const std::string& text, SettingsSwitch& out) {
    const size_t colon = text.find(':');
    if (colon == 0 || colon == std::string::npos) return false;
    SettingsSwitch change;
    change.name = text.substr(0, colon);
    size_t at = colon + 1;
    while (at <= text.size()) {
        size_t end = text.find(',', at);
        if (end == std::string::npos) end = text.size();
        const std::string pair = text.substr(at, end - at);
        const size_t equals = pair.find('=');
        if (equals == 0 || equals == std::string::npos) return false;
        change.keys.emplace_back(pair.substr(0, equals), pair.substr(equals + 1));
        at = end + 1;
    }
    out = std::move(change);
    return true;
}

double nowMs() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / frequency;
}

CallTimes::CallTimes(std::vector<SettingsSwitch> switches, long framesBetween,
                     std::string settingsPath, HMODULE library)
    : switches_(std::move(switches)), framesBetween_(framesBetween > 0 ? framesBetween : 1),
      settingsPath_(std::move(settingsPath)), library_(library) {}

long CallTimes::framesNeeded() const {
    return framesBetween_ * static_cast<long>(switches_.size() + 1);
}

void CallTimes::beforeInit() {
    nextSwitch_ = 0;
    plainFrames_.clear();
    frames_.clear();
    changeFrames_.clear();
    changeAt_.clear();
    afterChange_ = false;
    initStart_ = nowMs();
}

void CallTimes::afterInit() {
    std::printf("host: time init %.1f ms\n", nowMs() - initStart_);
    std::fflush(stdout);
    firstFrame_ = true;
    lookChanges_ = lookChanges();
}

void CallTimes::beforeRender(long frame) {
    pendingSwitch_ = nullptr;
    if (nextSwitch_ < switches_.size() &&
        frame == framesBetween_ * static_cast<long>(nextSwitch_ + 1)) {
        pendingSwitch_ = &switches_[nextSwitch_++];
        applySwitch(*pendingSwitch_);
    }
    framePending_ = true;
    renderStart_ = nowMs();
}

void CallTimes::framePainted() {
    if (!framePending_) return;
    framePending_ = false;
    const double now = nowMs();
    const double frameMs = now - renderStart_;
    const bool first = firstFrame_;
    if (firstFrame_) {
        firstFrame_ = false;
        std::printf("host: time first-frame %.1f ms%s\n", now - initStart_, shown().c_str());
    } else if (pendingSwitch_) {
        // The frames since the last change show what a frame costs without loading.
        std::vector<double> plain = plainFrames_;
        double median = 0;
        if (!plain.empty()) {
            std::nth_element(plain.begin(), plain.begin() + plain.size() / 2, plain.end());
            median = plain[plain.size() / 2];
        }
        std::printf("host: time switch %s %.1f ms (a plain frame %.1f ms)%s\n",
                    pendingSwitch_->name.c_str(), frameMs, median, shown().c_str());
        plainFrames_.clear();
    } else {
        plainFrames_.push_back(frameMs);
    }
    if (!first) {
        frames_.push_back(frameMs);
        // A change loads the new look in the frame that makes it, and the frame after it starts
        // the blend: both count as the change's.
        const int changes = lookChanges();
        if (afterChange_) changeFrames_.back() = std::max(changeFrames_.back(), frameMs);
        afterChange_ = changes > lookChanges_;
        if (afterChange_) {
            changeFrames_.push_back(frameMs);
            changeAt_.push_back(frames_.size() - 1);
        }
        lookChanges_ = changes;
    }
    std::fflush(stdout);
}

void CallTimes::beforeQuit() {
    printFrameTimes();
    quitStart_ = nowMs();
}

namespace {
// The value below which the given fraction of the sorted values lies.
double percentile(const std::vector<double>& sorted, double fraction) {
    if (sorted.empty()) return 0;
    const size_t at = static_cast<size_t>(fraction * static_cast<double>(sorted.size() - 1) + 0.5);
    return sorted[std::min(at, sorted.size() - 1)];
}
}  // namespace

// With the test build: every frame's time, and the frames that changed the look, in ms; and each
// change against a plain frame of the look it brought (the median of its frames after the two
// of the change), as the ratio's median and largest.
void CallTimes::printFrameTimes() const {
    if (lookChanges() < 0 || frames_.empty()) return;
    std::vector<double> all = frames_;
    std::sort(all.begin(), all.end());
    std::vector<double> changes = changeFrames_, ratios;
    for (size_t c = 0; c < changeAt_.size(); ++c) {
        const size_t from = changeAt_[c] + 2;
        const size_t to = c + 1 < changeAt_.size() ? changeAt_[c + 1] : frames_.size();
        if (from >= to) continue;
        std::vector<double> look(frames_.begin() + static_cast<std::ptrdiff_t>(from),
                                 frames_.begin() + static_cast<std::ptrdiff_t>(to));
        std::sort(look.begin(), look.end());
        if (percentile(look, 0.5) > 0) ratios.push_back(changeFrames_[c] / percentile(look, 0.5));
    }
    std::printf("host: time look changes in turn (change / plain):");
    for (double r : ratios) std::printf(" %.2f", r);
    std::printf("\n");
    std::sort(changes.begin(), changes.end());
    std::sort(ratios.begin(), ratios.end());
    std::printf("host: time frames %zu median %.1f ms p99 %.1f ms longest %.1f ms; look changes %zu"
                " median %.1f ms longest %.1f ms; change / plain frame of its look median %.2f"
                " largest %.2f\n",
                all.size(), percentile(all, 0.5), percentile(all, 0.99), all.back(), changes.size(),
                percentile(changes, 0.5), changes.empty() ? 0.0 : changes.back(),
                percentile(ratios, 0.5), ratios.empty() ? 0.0 : ratios.back());
    std::fflush(stdout);
}

int CallTimes::lookChanges() const {
    auto count = reinterpret_cast<int (*)()>(
        reinterpret_cast<void*>(GetProcAddress(library_, "vzrmLookChanges")));
    return count ? count() : -1;
}

void CallTimes::afterQuit() {
    std::printf("host: time quit %.1f ms\n", nowMs() - quitStart_);
    std::fflush(stdout);
}

// Written as the configuration utility does: the file read, the keys set, the whole file saved.
void CallTimes::applySwitch(const SettingsSwitch& change) {
    ProfileFile file;
    file.load(settingsPath_);
    for (const auto& [key, value] : change.keys) file.set(kSettingsSection, key, value);
    if (!file.save(settingsPath_))
        std::fprintf(stderr, "host: cannot write the settings file %s\n", settingsPath_.c_str());
}

std::string CallTimes::shown() const {
    using Name = const char* (*)();
    auto model = reinterpret_cast<Name>(
        reinterpret_cast<void*>(GetProcAddress(library_, "vzrmShownModel")));
    auto sky = reinterpret_cast<Name>(
        reinterpret_cast<void*>(GetProcAddress(library_, "vzrmShownSky")));
    if (!model || !sky) return {};
    return std::string("; model \"") + model() + "\", sky \"" + sky() + "\"";
}
