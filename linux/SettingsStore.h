#pragma once
// The settings file of the Linux program: read at the start, written at once whenever a key
// changes a look, read again by every frame (so hand edits and a second running copy take
// effect). Where the file cannot be read, or its folder not written, the program keeps its
// settings in a private file of its own for the session and never writes over the user's file.

#include <string>

#include "settings/Settings.h"

class SettingsStore {
public:
    ~SettingsStore();

    // Reads settings from path (a full path; empty when there is no home folder) and writes
    // the complete record back, as the plug-in does at its start. Returns the message to show
    // when the session had to fall back to a file of its own, else an empty text.
    std::string open(Settings& settings, const std::string& path);

    // Writes the record; on failure moves to a session file and returns the message to show.
    std::string save(Settings& settings);

    // The file the frames read.
    const std::string& path() const { return path_; }
    bool inSession() const { return !sessionFolder_.empty(); }

private:
    // Moves to a session file holding settings; returns the message for reason.
    std::string toSession(Settings& settings, const std::string& reason);

    std::string userPath_, path_, sessionFolder_;
};
