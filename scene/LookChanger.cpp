#include "scene/LookChanger.h"

#include <algorithm>
#include <chrono>

#include "platform/GlHeaders.h"
#include "scene/SceneState.h"
#include "settings/ChoiceKeys.h"

namespace {

constexpr double kCaptionSeconds = 2.0;

std::vector<std::string> sortedNames(const LookLibrary& library) {
    std::vector<std::string> names;
    for (const LookEntry& look : library.looks()) names.push_back(look.name);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

const std::vector<std::string>& lookKeyHelp() {
    static const std::vector<std::string> lines = {
        "RIGHT  next look", "LEFT  previous look", "A  look change: off / timer / beat"};
    return lines;
}

std::string lookStatus(const Settings& s) {
    std::string line = "Look: " + (s.lookName.empty() ? std::string("your own") : s.lookName.text()) +
                       ", change " + choices::kLookChanges[static_cast<size_t>(s.lookChangeMode())];
    if (s.lookChangeMode() != LookChange::Off)
        line += " " + std::to_string(s.lookSeconds) + " s, " +
                choices::kLookOrders[static_cast<size_t>(s.lookOrderMode())];
    return line;
}

std::vector<std::string> helpLines(const std::string& title, const std::vector<std::string>& ownKeys,
                                   const Settings& settings) {
    std::vector<std::string> lines = {title};
    lines.insert(lines.end(), choiceKeyHelp().begin(), choiceKeyHelp().end());
    lines.insert(lines.end(), lookKeyHelp().begin(), lookKeyHelp().end());
    lines.insert(lines.end(), ownKeys.begin(), ownKeys.end());
    lines.push_back("");
    lines.push_back(lookStatus(settings));
    for (const std::string& c : currentChoices(settings)) lines.push_back(c);
    return lines;
}

double steadySeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void LookChanger::restartTimer(const Settings& s, double now) {
    since_ = now;
    timing_ = true;
    mode_ = s.lookChangeMode();
    nameSeen_ = s.lookName.value();
    secondsSeen_ = s.lookSeconds;
    held_ = false;
    captureDue_ = captured_ = false;
}

bool LookChanger::frame(Settings& s, const FrameState& f, SceneHost& host) {
    const bool beat = beats_.take(f);  // every frame, so that a beat is the first loud frame
    const double now = clock_();
    // A new mode, look or time (a key, the utility, a hand edit) starts the count afresh.
    if (!timing_ || s.lookChangeMode() != mode_ || s.lookName.value() != nameSeen_ ||
        s.lookSeconds != secondsSeen_)
        restartTimer(s, now);
    if (mode_ == LookChange::Timer) blend_.prepare();  // not at the change: see LookBlend
    if (mode_ == LookChange::Off || held_ || now - since_ < s.lookSeconds) return false;
    if (mode_ == LookChange::Beat && !beat) return false;
    if (mode_ == LookChange::Timer && !captured_) {
        captureDue_ = true;  // this frame's picture is the one to fade out
        return false;
    }
    captured_ = false;
    if (changeBy(1, s, host, mode_ == LookChange::Beat)) {
        if (mode_ == LookChange::Timer) blend_.start(clock_());
        return true;
    }
    since_ = now;  // nothing to change to: look again after another lookSeconds
    return false;
}

bool LookChanger::step(int direction, Settings& s, SceneHost& host) {
    return changeBy(direction < 0 ? -1 : 1, s, host, false);
}

bool LookChanger::changeBy(int direction, Settings& s, SceneHost& host, bool onBeat) {
    refreshLibrary(host);
    bool saveFailed = false;
    const size_t current = currentLook(s, host, saveFailed);
    if (saveFailed) {
        held_ = true;  // no automatic change (nor its message) until the settings change
        return false;
    }
    const size_t next = following(current, direction, s.lookOrderMode() == LookOrder::Shuffle, round_);
    if (next == LookLibrary::npos || next == current) return false;
    return apply(next, s, host, onBeat);
}

void LookChanger::stepMode(Settings& s, SceneHost& host) {
    const size_t next = (static_cast<size_t>(s.lookChangeMode()) + 1) % std::size(choices::kLookChanges);
    s.lookChange = choices::kLookChanges[next];
    host.saveSettings(s, KeySet::LookFeatures);
}

std::string LookChanger::upcoming(const Settings& s, SceneHost& host) {
    refreshLibrary(host);
    Round copy = round_;
    const size_t next = following(library_.matching(s, s.lookName.text()), 1,
                                  s.lookOrderMode() == LookOrder::Shuffle, copy);
    return next == LookLibrary::npos ? std::string() : library_.looks()[next].name;
}

void LookChanger::refreshLibrary(SceneHost& host) {
    library_.refresh(host.assetFolder(AssetKind::Looks, {}), host.assetFolder(AssetKind::UserLooks, {}));
}

size_t LookChanger::currentLook(Settings& s, SceneHost& host, bool& saveFailed) {
    const size_t matching = library_.matching(s, s.lookName.text());
    if (matching != LookLibrary::npos) return matching;
    // The user's own settings are kept as a look of theirs before they leave the screen.
    const std::string name = library_.freeUserName();
    if (!library_.save(name, s)) {
        saveFailed = true;
        host.showError(("Could not save your settings as the look \"" + name +
                        "\", so the look stays as it is.")
                           .c_str(),
                       "Vizorama");
        return LookLibrary::npos;
    }
    return library_.find(name);
}

size_t LookChanger::following(size_t current, int direction, bool shuffled, Round& round) const {
    const size_t n = library_.size();
    if (n == 0) return LookLibrary::npos;
    const std::string currentName = current < n ? library_.looks()[current].name : std::string();
    if (shuffled) {
        // A new round when the looks are not those of the round (added, removed, the first
        // change): all of them in a new order, the one on screen first.
        std::vector<std::string> inRound = round.names;
        std::sort(inRound.begin(), inRound.end());
        if (inRound != sortedNames(library_)) {
            round.names.clear();
            for (const LookEntry& look : library_.looks()) round.names.push_back(look.name);
            std::shuffle(round.names.begin(), round.names.end(), round.random);
            const auto at = std::find(round.names.begin(), round.names.end(), currentName);
            if (at != round.names.end()) std::iter_swap(round.names.begin(), at);
            round.at = 0;
        } else if (!currentName.empty() && round.names[round.at] != currentName) {
            // Another look was chosen meanwhile (the utility): go on from there.
            round.at = static_cast<size_t>(
                std::find(round.names.begin(), round.names.end(), currentName) - round.names.begin());
        }
        if (direction < 0) {
            round.at = round.at > 0 ? round.at - 1 : n - 1;
        } else if (round.at + 1 < n) {
            ++round.at;
        } else {
            // The round is over: the next in a new order, which does not begin with the last.
            const std::string last = round.names.back();
            std::shuffle(round.names.begin(), round.names.end(), round.random);
            if (n > 1 && round.names.front() == last) std::swap(round.names.front(), round.names.back());
            round.at = 0;
        }
        return library_.find(round.names[round.at]);
    }
    if (current >= n) return direction > 0 ? 0 : n - 1;
    return direction > 0 ? (current + 1) % n : (current + n - 1) % n;
}

bool LookChanger::apply(size_t index, Settings& s, SceneHost& host, bool onBeat) {
    Settings look;
    if (!library_.read(index, look)) return false;
    copyKeys(s, look, KeySet::Look);
    const std::string& name = library_.looks()[index].name;
    s.lookName = name;
    host.saveSettings(s, KeySet::LookAndName);
    const double now = clock_();
    restartTimer(s, now);
    ++changes_;
    blend_.stop();  // a blend starts after its change; any other change cuts
    lastChangeAt_ = now;
    lastOnBeat_ = onBeat;
    caption_.show({name}, now, kCaptionSeconds, Overlay::Corner::BottomLeft);
    return true;
}

void LookChanger::endFrame() {
    const double now = clock_();
    blend_.draw(now);
    if (captureDue_) {
        captureDue_ = false;
        blend_.capture();  // without a copy the change is a hard cut
        captured_ = true;
    }
    if (!caption_.visible(now)) return;
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    // The font grows with the picture: two screen pixels a font pixel up to 512 pixels high.
    caption_.draw(viewport[2], viewport[3], now, std::max(1.0f, static_cast<float>(viewport[3]) / 512));
}
