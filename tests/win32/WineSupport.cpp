#include "tests/win32/WineSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

std::string gStageFolder;
std::string gStandInPath;
std::string gTestHooksPlugin;
std::string gScreenshotFolder;
std::string gSetupProgram;
unsigned gTimeScale = 1;
std::string gSeedFolder;
unsigned gStartStopCycles = 50;

DWORD scaledTimeout(DWORD timeoutMs) { return timeoutMs * gTimeScale; }

namespace {

std::string tempBase() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    static int counter = 0;
    return std::string(temp) + "vzrm" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(++counter) + "\\";
}

}  // namespace

void removeTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            std::string path = folder + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) removeTree(path + "\\");
            else DeleteFileA(path.c_str());
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

namespace {

// Copies the files of one folder that match pattern (its TGA pictures unless told) into another.
void copyFiles(const std::string& from, const std::string& to, const char* pattern = "*.tga") {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((from + pattern).c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        CopyFileA((from + found.cFileName).c_str(), (to + found.cFileName).c_str(), FALSE);
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

std::string windowText(HWND window) {
    wchar_t text[1024] = {};
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_BLOCK,
                        2000, nullptr);
    char narrow[2048] = {};
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
    return narrow;
}

struct WindowSearch {
    DWORD processId;
    const char* className;
    HWND found;
};

BOOL CALLBACK findWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char cls[64] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (owner == search->processId && std::strcmp(cls, search->className) == 0 &&
        IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

void makeFolders(const std::string& path) {
    for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
}

std::string readFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeFileText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

bool fileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string settingsValue(const std::string& text, const std::string& key) {
    size_t at = text.find("\n" + key + "=");
    if (at == std::string::npos) return "<absent>";
    at += key.size() + 2;
    return text.substr(at, text.find('\r', at) - at);
}

bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    timeoutMs = scaledTimeout(timeoutMs);
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(10);
    }
    return true;
}

InstallTree::InstallTree(const std::string& hostName, size_t hostPathLength)
    : base_(tempBase()) {
    folder_ = base_;
    // Folders of at most 100 characters until the host's path has the length asked for.
    while (hostPathLength > folder_.size() + hostName.size()) {
        size_t room = hostPathLength - folder_.size() - hostName.size();
        if (room == 1) {  // too little for a folder of its own: widen the last one
            folder_.insert(folder_.size() - 1, "p");
            continue;
        }
        folder_ += std::string(room > 101 ? 100 : room - 1, 'p') + "\\";
    }
    hostPath_ = folder_ + hostName;
    makeFolders(folder_ + "Plugins\\vis_vzrm\\Configurations\\");
    CopyFileA((gStageFolder + "\\Winamp.exe").c_str(), hostPath_.c_str(), FALSE);
    CopyFileA((gStageFolder + "\\Plugins\\vis_vzrm.dll").c_str(),
              (folder_ + "Plugins\\vis_vzrm.dll").c_str(), FALSE);
    // The named textures and the default skybox.
    copyFiles(gStageFolder + "\\Plugins\\vis_vzrm\\", folder_ + "Plugins\\vis_vzrm\\");
    const std::string skybox = "Plugins\\vis_vzrm\\Skyboxes\\Late Afternoon\\";
    makeFolders(folder_ + skybox);
    copyFiles(gStageFolder + "\\" + skybox, folder_ + skybox);
}

InstallTree::~InstallTree() { removeTree(base_); }

std::string InstallTree::configurationFolder() const {
    return folder_ + "Plugins\\vis_vzrm\\Configurations\\";
}

std::string InstallTree::settingsPath() const {
    return configurationFolder() + "vis_vzrm_config.ini";
}

void InstallTree::installTestHooksPlugin() const {
    CopyFileA(gTestHooksPlugin.c_str(), (folder_ + "Plugins\\vis_vzrm.dll").c_str(), FALSE);
}

std::string InstallTree::placePluginIn(const std::string& subfolder) const {
    makeFolders(folder_ + subfolder);
    std::string path = folder_ + subfolder + "vis_vzrm.dll";
    CopyFileA((folder_ + "Plugins\\vis_vzrm.dll").c_str(), path.c_str(), FALSE);
    return path;
}

void InstallTree::installModels() const {
    // Our models, each folder with its model file and pictures.
    const std::string models = "Plugins\\vis_vzrm\\Models\\";
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((gStageFolder + "\\" + models + "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == ".." || !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        std::string to = folder_ + models + name + "\\";
        makeFolders(to);
        copyFiles(gStageFolder + "\\" + models + name + "\\", to);
        CopyFileA((gStageFolder + "\\" + models + name + "\\Model.ase").c_str(),
                  (to + "Model.ase").c_str(), FALSE);
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

void InstallTree::installLooks() const {
    const std::string looks = "Plugins\\vis_vzrm\\Looks\\";
    makeFolders(folder_ + looks);
    copyFiles(gStageFolder + "\\" + looks, folder_ + looks, "*.ini");
}

void InstallTree::installConfigurator() const {
    CopyFileA(gStandInPath.c_str(), (configurationFolder() + "vis_vzrm_c.exe").c_str(), FALSE);
}

void InstallTree::installUtility() const {
    CopyFileA((gStageFolder + "\\Plugins\\vis_vzrm\\Configurations\\vis_vzrm_c.exe").c_str(),
              (configurationFolder() + "vis_vzrm_c.exe").c_str(), FALSE);
}

HWND findProcessWindow(DWORD processId, const char* className) {
    WindowSearch search = {processId, className, nullptr};
    EnumWindows(findWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string printed(const HostRun& run, const std::string& name, size_t from) {
    size_t at = run.output.find("host: " + name + " ", from);
    if (at == std::string::npos) return "";
    at += name.size() + 7;
    return run.output.substr(at, run.output.find_first_of("\r\n", at) - at);
}

std::string reportedWindow(const HostRun& run, const std::string& className) {
    size_t at = run.output.find("host: window class=" + className + " ");
    if (at == std::string::npos) return "";
    return run.output.substr(at, run.output.find('\n', at) - at);
}

HostRun runHost(const std::string& hostPath, const std::string& args, DWORD timeoutMs,
                const std::function<void(DWORD processId)>& whileRunning) {
    HostRun run;
    std::string outputPath = hostPath + ".out.txt";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE output = CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = output;
    si.hStdError = output;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi = {};
    std::string commandLine = "\"" + hostPath + "\" " + args;
    run.started = CreateProcessA(hostPath.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                                 nullptr, nullptr, &si, &pi);
    CloseHandle(output);
    if (!run.started) return run;

    timeoutMs = scaledTimeout(timeoutMs);
    DWORD start = GetTickCount();
    HWND answered = nullptr;
    while (WaitForSingleObject(pi.hProcess, 10) == WAIT_TIMEOUT) {
        if (GetTickCount() - start > timeoutMs) {
            run.timedOut = true;
            TerminateProcess(pi.hProcess, 99);
            WaitForSingleObject(pi.hProcess, 5000);
            break;
        }
        HWND box = findProcessWindow(pi.dwProcessId, "#32770");
        if (box && box != answered) {
            MessageBoxSeen seen;
            seen.caption = windowText(box);
            seen.text = windowText(GetDlgItem(box, 0xFFFF));
            seen.hasOwner = GetWindow(box, GW_OWNER) != nullptr;
            run.boxes.push_back(seen);
            answered = box;
            PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        }
        if (whileRunning) whileRunning(pi.dwProcessId);
    }
    GetExitCodeProcess(pi.hProcess, &run.exitCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    run.output = readFileText(outputPath);
    DeleteFileA(outputPath.c_str());
    return run;
}

Screenshot::Screenshot(const std::string& path) : data_(readFileText(path)) {
    if (data_.size() < 54 || data_[0] != 'B' || data_[1] != 'M') return;
    std::memcpy(&width_, data_.data() + 18, 4);
    std::memcpy(&height_, data_.data() + 22, 4);
    size_t stride = (static_cast<size_t>(width_) * 3 + 3) & ~size_t(3);
    if (width_ <= 0 || height_ <= 0 || data_.size() < 54 + stride * static_cast<size_t>(height_))
        width_ = height_ = 0;
}

COLORREF Screenshot::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    size_t stride = (static_cast<size_t>(width_) * 3 + 3) & ~size_t(3);
    size_t at = 54 + static_cast<size_t>(height_ - 1 - y) * stride + static_cast<size_t>(x) * 3;
    auto byte = [&](size_t i) { return static_cast<unsigned char>(data_[at + i]); };
    return RGB(byte(2), byte(1), byte(0));
}

int Screenshot::brightest(int x, int y, int radius, int channel) const {
    int best = 0;
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            COLORREF c = at(x + dx, y + dy);
            if (c == CLR_INVALID) continue;
            int v = channel == 0 ? GetRValue(c) : channel == 1 ? GetGValue(c) : GetBValue(c);
            if (v > best) best = v;
        }
    return best;
}

double Screenshot::litShare(int left, int top, int width, int height) const {
    int lit = 0, all = 0;
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x) {
            COLORREF c = at(x, y);
            if (c == CLR_INVALID) continue;
            ++all;
            lit += GetRValue(c) + GetGValue(c) + GetBValue(c) > 90;
        }
    return all ? static_cast<double>(lit) / all : 0;
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a.rfind("--stage=", 0) == 0) gStageFolder = a.substr(8);
        else if (a.rfind("--standin=", 0) == 0) gStandInPath = a.substr(10);
        else if (a.rfind("--testhooks=", 0) == 0) gTestHooksPlugin = a.substr(12);
        else if (a.rfind("--screenshots=", 0) == 0) gScreenshotFolder = a.substr(14);
        else if (a.rfind("--setup=", 0) == 0) gSetupProgram = a.substr(8);
        else if (a.rfind("--seeds=", 0) == 0) gSeedFolder = a.substr(8);
        else if (a.rfind("--time-scale=", 0) == 0)
            gTimeScale = static_cast<unsigned>(std::max(1, std::atoi(a.c_str() + 13)));
        else if (a.rfind("--cycles=", 0) == 0)
            gStartStopCycles = static_cast<unsigned>(std::max(1, std::atoi(a.c_str() + 9)));
    }
    if (gStageFolder.empty() || gStandInPath.empty() || gTestHooksPlugin.empty() ||
        gScreenshotFolder.empty()) {
        std::fprintf(stderr, "usage: win32_tests --stage=FOLDER --standin=EXE --testhooks=DLL "
                             "--screenshots=FOLDER [--setup=EXE] [--seeds=FOLDER]\n"
                             "       [--time-scale=N] [--cycles=N]\n"
                             "       [gtest options]\n");
        return 2;
    }
    return RUN_ALL_TESTS();
}
