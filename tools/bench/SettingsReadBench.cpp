// How long a re-read of the settings file takes and how many heap allocations it makes: a
// one-off read, and a frame's read, which keeps its buffers from one read to the next. Prints
// figures; run it twice and compare.
//   vzrm_settings_bench [reads]

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>

#include "platform/headless/PlatformHeadless.h"
#include "settings/Settings.h"

namespace {
long allocations = 0;
}

void* operator new(size_t size) {
    ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

int main(int argc, char** argv) {
    const long reads = argc > 1 ? std::atol(argv[1]) : 20000;
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "vzrm-settings-bench";
    std::filesystem::create_directories(folder / "Plugins/vis_vzrm/Configurations");
    platform::headless::setExecutableFolder(folder.string() + "/");

    Settings settings;
    settings.write(kSettingsFile, kSettingsSection);  // a full file of every key
    settings.read(kSettingsFile, kSettingsSection);

    auto measure = [&](const char* what, auto read) {
        read();  // warm
        long before = allocations;
        auto start = std::chrono::steady_clock::now();
        for (long i = 0; i < reads; ++i) read();
        auto end = std::chrono::steady_clock::now();
        double micros = std::chrono::duration<double, std::micro>(end - start).count();
        std::printf("%s: %.1f us and %.1f allocations per read (%ld reads)\n", what,
                    micros / static_cast<double>(reads),
                    static_cast<double>(allocations - before) / static_cast<double>(reads), reads);
    };
    measure("one-off settings read", [&] { settings.read(kSettingsFile, kSettingsSection); });
    const std::string path = pathBesideExecutable(kSettingsFile);
    SettingsReadCache cache;
    measure("frame's settings read", [&] { settings.readFile(path, kSettingsSection, cache); });
    std::filesystem::remove_all(folder);
    return 0;
}
