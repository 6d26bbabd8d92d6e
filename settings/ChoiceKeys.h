#pragma once
// The keys that step the choices one at a time, written back to the settings record: each key
// steps one choice to its next value, switching the part off after its last value and on again
// at the first. The Linux program and the plug-in's window take the same keys.

#include <string>
#include <vector>

#include "settings/Settings.h"

// The names of the skies and models there are to choose from.
struct AssetNames {
    std::vector<std::string> skyboxes;
    std::vector<std::string> models;
};

// Applies the key (an upper-case letter, see keyHelp) to settings; returns a short text of
// what it chose now (e.g. "Camera: Scan Up"), or an empty text for a key without a look.
// shift steps backwards where a key steps through a list.
std::string applyChoiceKey(char key, bool shift, Settings& settings, const AssetNames& names);

// One line per key of the choices: "O  oscilloscope type / off", ...
const std::vector<std::string>& choiceKeyHelp();

// The current choices, one short line each, for the overlay.
std::vector<std::string> currentChoices(const Settings& settings);
