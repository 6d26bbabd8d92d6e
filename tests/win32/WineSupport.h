#pragma once
// What the Win32 tests share: install trees laid out like a player installation, running the
// host in them, and answering the message boxes it shows.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// From the command line: the staged install tree, the configuration utility's stand-in, the
// plug-in built with test hooks, a folder for screenshots and the setup program.
extern std::string gStageFolder;
extern std::string gStandInPath;
extern std::string gTestHooksPlugin;
extern std::string gScreenshotFolder;
// The setup program (only for the installer tests).
extern std::string gSetupProgram;
// How many times slower than usual programs run here (an emulated machine): every timeout of
// a wait or a run is multiplied by it. 1 unless given.
extern unsigned gTimeScale;
// The fuzzers' seed inputs (fuzz/seeds), for the hostile-file tests.
extern std::string gSeedFolder;
// How many times the long run stops and starts the plug-in (50 unless given).
extern unsigned gStartStopCycles;

// A timeout in milliseconds as it applies here (timeoutMs times gTimeScale).
DWORD scaledTimeout(DWORD timeoutMs);

// The top-level window of a process with the given class, or null.
HWND findProcessWindow(DWORD processId, const char* className);

std::string readFileText(const std::string& path);
void writeFileText(const std::string& path, const std::string& text);
bool fileExists(const std::string& path);
// Creates every folder of a path that ends with a backslash; removes a folder and all in it.
void makeFolders(const std::string& path);
void removeTree(const std::string& folder);

// The value of key in a settings file's text written with CRLF line breaks, or "<absent>".
std::string settingsValue(const std::string& text, const std::string& key);

// Polls condition every 10 ms until it holds or timeoutMs pass.
bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

// A fresh copy of the staged install tree in a folder of its own, removed afterwards.
class InstallTree {
public:
    // hostName: the host's file name; hostPathLength: when not 0, folders are added so that
    // the host's full path has exactly this length.
    explicit InstallTree(const std::string& hostName = "Winamp.exe", size_t hostPathLength = 0);
    ~InstallTree();
    InstallTree(const InstallTree&) = delete;
    InstallTree& operator=(const InstallTree&) = delete;

    const std::string& folder() const { return folder_; }  // with trailing backslash
    const std::string& hostPath() const { return hostPath_; }
    std::string configurationFolder() const;
    std::string settingsPath() const;
    void installConfigurator() const;  // the stand-in, as vis_vzrm_c.exe
    void installUtility() const;       // the real configuration utility from the staged tree
    void installTestHooksPlugin() const;  // the plug-in build with failure points
    void installModels() const;  // our default models from the staged tree
    void installLooks() const;   // our looks from the staged tree
    // A copy of the plug-in in subfolder of the tree (created if need be); returns its path.
    std::string placePluginIn(const std::string& subfolder) const;

private:
    std::string base_, folder_, hostPath_;
};

struct MessageBoxSeen {
    std::string text;
    std::string caption;
    bool hasOwner = false;
};

struct HostRun {
    bool started = false;
    bool timedOut = false;
    DWORD exitCode = 0;
    std::string output;  // what the host printed
    std::vector<MessageBoxSeen> boxes;
};

// Runs the host with args until it ends (or timeoutMs pass, when it is ended), reading and
// pressing OK on each message box it shows. whileRunning, if given, is called every 10 ms with
// the host's process id.
HostRun runHost(const std::string& hostPath, const std::string& args, DWORD timeoutMs = 30000,
                const std::function<void(DWORD processId)>& whileRunning = nullptr);

// What the host printed after "host: NAME " (its first such line at or after from), or "" when
// it printed no such line.
std::string printed(const HostRun& run, const std::string& name, size_t from = 0);

// The host's report line of the window of class className ("" when there is none).
std::string reportedWindow(const HostRun& run, const std::string& className);

// A 24-bit BMP screenshot as the host saves it.
class Screenshot {
public:
    explicit Screenshot(const std::string& path);
    bool ok() const { return width_ > 0; }
    // The colour at (x, y), y counted from the top; CLR_INVALID outside the picture.
    COLORREF at(int x, int y) const;
    // The brightest value of one channel (0 red, 1 green, 2 blue) within radius of (x, y).
    int brightest(int x, int y, int radius, int channel) const;
    // The share of pixels in a rectangle brighter than a dark grey, 0..1.
    double litShare(int left, int top, int width, int height) const;

private:
    std::string data_;
    int width_ = 0, height_ = 0;
};
