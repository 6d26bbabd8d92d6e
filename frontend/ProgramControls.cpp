#include "frontend/ProgramControls.h"

#include "scene/LookChanger.h"
#include "settings/ChoiceKeys.h"

#ifndef VZRM_VERSION
#define VZRM_VERSION "0"
#endif

void ProgramControls::choice(char letter, bool shift, double now) {
    // The names on disk may have changed since the start.
    AssetNames names;
    if (letter == 'B') names.skyboxes = host_.folders().namesOf(AssetKind::Skybox);
    if (letter == 'N') names.models = host_.folders().namesOf(AssetKind::Model);
    Settings& settings = *scene_.settings;
    const std::string chosen = applyChoiceKey(letter, shift, settings, names);
    if (chosen.empty()) return;
    settings.lookName = "";  // the user's own settings now, no look of the library's
    host_.tell(store_.save(settings, KeySet::LookAndName));
    std::vector<std::string> lines = {chosen};
    for (const std::string& c : currentChoices(settings)) lines.push_back(c);
    overlay_.show(lines, now, 3);
    helpShown_ = false;
}

void ProgramControls::look(LookKey key, double now) {
    Settings& settings = *scene_.settings;
    if (key == LookKey::Mode) {
        scene_.looks.stepMode(settings, host_);
        overlay_.show({lookStatus(settings)}, now, 3);
        helpShown_ = false;
    } else {
        // The look's name shows in the scene's own corner.
        scene_.looks.step(key == LookKey::Next ? 1 : -1, settings, host_);
    }
    showMessages({}, now);
}

void ProgramControls::toggleHelp(double now) {
    if (helpShown_ && overlay_.visible(now)) {
        overlay_.hide();
        return;
    }
    helpShown_ = true;
    overlay_.show(helpLines("Vizorama " VZRM_VERSION " - keys", ownKeys_, *scene_.settings), now, 8);
}

void ProgramControls::showMessages(const std::vector<std::string>& messages, double now) {
    for (const std::string& message : messages) host_.tell(message);
    std::vector<std::string> lines = host_.takeErrorLines();
    if (lines.empty()) return;
    overlay_.show(lines, now, 6);
    helpShown_ = false;
}
