#pragma once
// What the keys of a program of its own (the Linux and the Windows program) do, and the overlay
// that shows it: a choice's letter steps that choice and saves it, Right, Left and A change the
// look and how it changes, H shows the keys and the current choices; the host's failures and
// the sound's messages show for a few seconds. The window's own keys (full screen, quitting)
// stay the program's.

#include <string>
#include <vector>

#include "frontend/ProgramHost.h"
#include "frontend/SettingsStore.h"
#include "scene/Overlay.h"
#include "scene/SceneState.h"

class ProgramControls {
public:
    // ownKeys: the program's own keys for the help ("F  full screen ..."), a line each.
    ProgramControls(SceneState& scene, ProgramHost& host, SettingsStore& store, std::vector<std::string> ownKeys)
        : scene_(scene), host_(host), store_(store), ownKeys_(std::move(ownKeys)) {}

    // A choice's key (an upper-case letter): steps it, saves the settings, shows what it chose.
    void choice(char letter, bool shift, double now);
    enum class LookKey { Next, Previous, Mode };
    void look(LookKey key, double now);
    // Shows the help, or hides it when it shows.
    void toggleHelp(double now);
    // Shows the host's failures and the messages given (each on the standard error too), a
    // line for each clause (parts between "; ": the font has no semicolon).
    void showMessages(const std::vector<std::string>& messages, double now);
    // Over the frame just drawn, before it is shown.
    void drawOverlay(double now) { overlay_.draw(host_.width(), host_.height(), now, host_.pixelRatio()); }

private:
    SceneState& scene_;
    ProgramHost& host_;
    SettingsStore& store_;
    const std::vector<std::string> ownKeys_;
    Overlay overlay_;
    bool helpShown_ = false;  // whether the overlay shows the help (or a key's note)
};
