#pragma once
// Hands a settings record read on one thread to the thread that owns the live record.
// The configuration entry may be called on another thread while frames read the live record;
// it reads the file into a record of its own and posts it here, and the frame thread adopts it
// at a moment of its choosing, so the live record is only ever touched by one thread.

#include <atomic>
#include <mutex>
#include <string>

#include "settings/Settings.h"

class SettingsMailbox {
public:
    void post(const Settings& read) {
        std::lock_guard<std::mutex> lock(mutex_);
        pending_ = read;
        full_.store(true, std::memory_order_release);
    }

    // The configuration entry's side: reads the file at path (a full path) into a record of
    // its own and posts it.
    void readAndPost(const std::string& path) {
        Settings fresh;
        fresh.readFile(path, kSettingsSection);
        post(fresh);
    }

    // Copies a posted record's choices (not the window geometry, which the running plug-in
    // owns) into live and empties the mailbox. Returns whether there was one.
    bool adoptInto(Settings& live) {
        if (!full_.load(std::memory_order_acquire)) return false;
        std::lock_guard<std::mutex> lock(mutex_);
        if (!full_.load(std::memory_order_relaxed)) return false;
        live.adoptChoicesFrom(pending_);
        full_.store(false, std::memory_order_relaxed);
        return true;
    }

    void clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        full_.store(false, std::memory_order_relaxed);
    }

private:
    std::mutex mutex_;
    Settings pending_;
    std::atomic<bool> full_{false};
};
