#pragma once
// Replaces the settings file under the running plug-in every few frames, the way the
// configuration utility does (a new file renamed over the old one), from a thread of its own.
// Each version it writes carries its number in all four light colours, so that the test build
// of the plug-in can tell a frame that read parts of two versions; the other keys it changes
// (displays, camera, model, texture depth) vary what the frames do and load.

#include <atomic>
#include <string>
#include <thread>

class SettingsWriter {
public:
    // Writes a new version to path whenever frames has grown by every frames since the last.
    SettingsWriter(std::string path, const std::atomic<long>& frames, long every);
    ~SettingsWriter();
    SettingsWriter(const SettingsWriter&) = delete;
    SettingsWriter& operator=(const SettingsWriter&) = delete;

    // Stops the thread; afterwards versions() and failures() are final.
    void stop();
    long versions() const { return versions_; }
    long failures() const { return failures_; }

private:
    void run();

    std::string path_;
    const std::atomic<long>& frames_;
    long every_;
    std::atomic<bool> stopping_{false};
    long versions_ = 0;
    long failures_ = 0;
    std::thread thread_;
};
