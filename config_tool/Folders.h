#pragma once
// The settings file the utility edits: the one beside its own executable (the plug-in's), or
// the one a program of its own names with --settings PATH (the Windows program keeps its
// settings in the user's folder).

#include <string>

// Takes --settings PATH from the command line (the rest of it is not ours); false, with error
// set, for --settings without a path.
bool chooseSettingsFile(const std::string& commandLine, std::string& error);

// The full path of the settings file to edit.
const std::string& utilitySettingsFile();
