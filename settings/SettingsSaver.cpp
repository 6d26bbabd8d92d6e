#include "settings/SettingsSaver.h"

void SettingsSaver::save(const std::string& path, const std::string& section,
                         const Settings& settings, KeySet keys) {
    std::lock_guard<std::mutex> lock(mutex_);
    jobs_.push_back(Job{path, section, settings, keys});
    if (!worker_.joinable()) {
        stopping_ = false;
        worker_ = std::thread(&SettingsSaver::run, this);
    }
    wake_.notify_one();
}

bool SettingsSaver::pending() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return writing_ || !jobs_.empty();
}

bool SettingsSaver::finish() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        wake_.notify_one();
    }
    if (worker_.joinable()) worker_.join();
    std::lock_guard<std::mutex> lock(mutex_);
    const bool ok = !failed_;
    failed_ = false;
    return ok;
}

void SettingsSaver::run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        if (jobs_.empty()) return;  // stopping, with everything written
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        writing_ = true;
        lock.unlock();
        const bool ok = job.settings.writeFile(job.path, job.section, job.keys);
        lock.lock();
        writing_ = false;
        if (!ok) failed_ = true;
    }
}
