#include "winapp/Console.h"

#include <windows.h>

namespace {

bool writeTo(HANDLE handle, const std::string& text) {
    if (!handle || handle == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    return WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
}

}  // namespace

void tellUser(const std::string& text, bool error) {
    if (writeTo(GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE), text)) return;
    // Started from a console window: write into it (the prompt has already come back, as for
    // any program of the desktop; the text follows it).
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        HANDLE console = CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        const bool written = writeTo(console, "\r\n" + text);
        if (console != INVALID_HANDLE_VALUE) CloseHandle(console);
        FreeConsole();
        if (written) return;
    }
    MessageBoxA(nullptr, text.c_str(), "Vizorama", MB_OK | (error ? MB_ICONERROR : MB_ICONINFORMATION));
}
