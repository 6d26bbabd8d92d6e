#pragma once
// Writes settings files on a thread of its own, so that the frame that changes a look does not
// wait for the disk: the atomic replace ends by flushing the file to the disk, which takes from
// a few to tens of milliseconds. Saves are written in the order they were asked for. Until the
// last has landed, pending() is true: a host that reads the file every frame keeps its record
// meanwhile, since the file still holds what was there before.
//
// The thread runs only while there is something to write and is joined by finish(), so that a
// plug-in's library is never unloaded with it running.

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "settings/Settings.h"

class SettingsSaver {
public:
    SettingsSaver() = default;
    ~SettingsSaver() { finish(); }
    SettingsSaver(const SettingsSaver&) = delete;
    SettingsSaver& operator=(const SettingsSaver&) = delete;

    // Queues the record's keys of the set for the file at path (a full path). The record is
    // copied: the caller goes on with its own.
    void save(const std::string& path, const std::string& section, const Settings& settings,
              KeySet keys);

    // Whether a save has not landed yet.
    bool pending() const;

    // Waits for every queued save and ends the thread. Returns whether all the saves since the
    // last finish() were written.
    bool finish();

private:
    struct Job {
        std::string path, section;
        Settings settings;
        KeySet keys;
    };
    void run();

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> jobs_;
    bool writing_ = false;
    bool stopping_ = false;
    bool failed_ = false;
    std::thread worker_;
};
