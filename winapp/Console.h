#pragma once
// What the Windows program has to say on a command line (--help, --version, --list-sources, an
// option it does not take). A program for the desktop has no console of its own: the text goes
// to the output it was handed (a pipe or a file), else to the console of the program that
// started it, else into a message box.

#include <string>

// error: the text is an error (the standard error; a message box with the error icon).
void tellUser(const std::string& text, bool error);
