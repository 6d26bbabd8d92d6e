// Stands in for the configuration utility in tests: writes "configurator-started.txt" into its
// working folder with its command line and working folder, appending one line per start.
#include <windows.h>

#include <cstdio>

int main() {
    char folder[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, folder);
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    FILE* f = std::fopen("configurator-started.txt", "a");
    if (!f) return 1;
    std::fprintf(f, "cwd=%s|exe=%s|cmd=%s\n", folder, exe, GetCommandLineA());
    std::fclose(f);
    return 0;
}
