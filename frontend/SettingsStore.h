#pragma once
// The settings file of a program of its own (the Linux and the Windows program). The record in
// memory is what the frames show: it is read from the file at the start and written back
// complete, written whenever a key changes a look (on the saver's thread), and read again when
// the file changes on disk (a hand edit, a second running copy), which is checked once a frame
// by the file's size, times and identity, not by reading it. Where the file cannot be read, or
// its folder not written, the program never writes over it: settings changed then last until
// the program ends.

#include <string>

#include "platform/Platform.h"
#include "settings/Settings.h"
#include "settings/SettingsSaver.h"

class SettingsStore {
public:
    // Reads settings from path (a full path; empty when there is no home folder) and writes
    // the complete record back, as the plug-in does at its start. Returns the message to show
    // when the file cannot be kept, else an empty text.
    std::string open(Settings& settings, const std::string& path);

    // Writes the record's keys of a set (the player's keys, as the plug-in writes them, unless
    // told otherwise) on the saver's thread, so that a change of look does not wait for the
    // disk. A save that fails is told by takeProblem() once it has landed; later saves of the
    // session write nothing.
    std::string save(Settings& settings, KeySet keys = KeySet::Player);

    // Reads the file again when it changed on disk since it was last read or written here;
    // whether it did. While saves are on their way, and at the check after they land, nothing
    // is read: the record holds what they write.
    bool takeUpEdit(Settings& settings);

    // Waits for the saves on their way.
    void wait();

    // The message of a save that failed since the last call (empty: none).
    std::string takeProblem();

    const std::string& path() const { return path_; }
    // Whether changes are kept in the file (else they last until the program ends).
    bool keepsChanges() const { return keeps_; }

private:
    std::string stop(const std::string& reason);

    std::string path_;
    bool keeps_ = false;
    platform::FileStamp seen_;  // the file as last read or written here
    SettingsReadCache cache_;
    std::string problem_;
    bool saving_ = false;  // saves were asked for since the file was last stamped
    SettingsSaver saver_;  // last: finishes its saves before the rest goes
};
