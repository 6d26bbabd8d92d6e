#pragma once
// Model and skybox settings name a folder below "Models\" or "Skyboxes\". A value that would
// reach outside that folder (a parent reference, a path separator, a drive or a root) names no
// folder at all: the frames treat it as a missing folder and the utility never offers it.

#include <string>

// True when name can only mean a folder directly inside its parent folder. The empty name,
// which means the parent folder itself, counts as inside.
bool staysInsideFolder(const std::string& name);
