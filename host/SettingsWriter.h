#pragma once
// Replaces the settings file under the running plug-in every few frames, the way the
// configuration utility does (a new file renamed over the old one), from a thread of its own.
// Each version it writes carries its number in all four light colours, so that the test build
// of the plug-in can tell a frame that read parts of two versions; the other keys it changes
// (displays, camera, model, texture depth) vary what the frames do and load.

#include <atomic>
#include <string>
#include <thread>

#include "settings/ProfileFile.h"

class SettingsWriter {
public:
    // Writes version 0 to path at once (before the plug-in starts, so that every frame reads a
    // version of ours), then a new version whenever frames has grown by every since the last.
    SettingsWriter(std::string path, const std::atomic<long>& frames, long every);
    ~SettingsWriter();
    SettingsWriter(const SettingsWriter&) = delete;
    SettingsWriter& operator=(const SettingsWriter&) = delete;

    // Every choice the writer makes has been made once within this many versions.
    static constexpr long kRound = 128;

    // Stops the thread; afterwards versions() and failures() are final.
    void stop();
    long versions() const { return versions_; }
    long failures() const { return failures_; }

private:
    void run();

    std::string path_;
    const std::atomic<long>& frames_;
    long every_;
    ProfileFile file_;
    std::atomic<bool> stopping_{false};
    long versions_ = 0;
    long failures_ = 0;
    std::thread thread_;
};
