// The setup program under Wine: silent installs into prepared player folders, the player's
// winamp.ini edited only when asked, the programs-list entry, the uninstaller, the search for
// the player's folder and the warning for a folder without the player. InstallerProgram.*: the
// part "On its own" (the Windows program into the 64-bit Program Files), alone and beside the
// plug-in, in a 64-bit prefix (scripts/test-setup-parts.sh runs them).

#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "tests/win32/WineSupport.h"

namespace {

const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vizorama";

// A folder laid out like a fresh player installation: Winamp.exe (our host) and whatever the
// test writes; removed afterwards.
class PlayerFolder {
public:
    explicit PlayerFolder(bool withPlayer = true) {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        static int counter = 0;
        path_ = std::string(temp) + "vzrm-player" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++counter) + "\\";
        makeFolders(path_);
        if (withPlayer)
            CopyFileA((gStageFolder + "\\Winamp.exe").c_str(), (path_ + "Winamp.exe").c_str(),
                      FALSE);
    }
    ~PlayerFolder() { removeTree(path_); }
    const std::string& path() const { return path_; }  // with trailing backslash
    std::string plugin(const std::string& relative) const {
        return path_ + "Plugins\\vis_vzrm\\" + relative;
    }
    std::string withoutSlash() const { return path_.substr(0, path_.size() - 1); }

private:
    std::string path_;
};

// Runs a program with a command line and waits for it; its exit code, or ~0 on failure.
DWORD run(const std::string& commandLine, DWORD timeoutMs = 60000) {
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return ~DWORD(0);
    DWORD code = ~DWORD(0);
    if (WaitForSingleObject(pi.hProcess, scaledTimeout(timeoutMs)) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    else
        TerminateProcess(pi.hProcess, 99);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

DWORD install(const PlayerFolder& player, const std::string& options = "") {
    return run("\"" + gSetupProgram + "\" /S " + options + (options.empty() ? "" : " ") +
               "/D=" + player.withoutSlash());
}

std::string registryText(HKEY root, const char* key, const char* name, REGSAM view = 0);

// The uninstaller copies itself elsewhere and returns at once; the copy removes its programs-list
// entry last.
bool uninstall(const PlayerFolder& player, const std::string& options = "") {
    std::string uninstaller = player.plugin("Uninstall Vizorama.exe");
    if (run("\"" + uninstaller + "\" /S " + options) != 0) return false;
    return waitUntil(
        [&] {
            return !fileExists(uninstaller) &&
                   registryText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName") == "<absent>";
        },
        30000);
}

// A registry value as text (a DWORD in decimal); view: 0 (the process's own), KEY_WOW64_32KEY
// or KEY_WOW64_64KEY.
std::string registryText(HKEY root, const char* key, const char* name, REGSAM view) {
    HKEY handle;
    if (RegOpenKeyExA(root, key, 0, KEY_READ | view, &handle) != ERROR_SUCCESS) return "<absent>";
    char value[1024] = {};
    DWORD size = sizeof value - 1, type = 0;
    LONG status =
        RegQueryValueExA(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(handle);
    if (status != ERROR_SUCCESS) return "<absent>";
    if (type == REG_DWORD) return std::to_string(*reinterpret_cast<const DWORD*>(value));
    return value;
}

void setRegistryText(HKEY root, const char* key, const char* name, const std::string& value) {
    HKEY handle;
    ASSERT_EQ(RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_WRITE | KEY_WOW64_32KEY, nullptr,
                              &handle, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(handle);
}

// A string of a file's version resource (US English, Unicode block), or "<absent>".
std::string versionText(const std::string& path, const std::string& name) {
    DWORD ignored = 0, size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    std::vector<char> info(size);
    void* value = nullptr;
    UINT length = 0;
    if (!size || !GetFileVersionInfoA(path.c_str(), 0, size, info.data()) ||
        !VerQueryValueA(info.data(), ("\\StringFileInfo\\040904b0\\" + name).c_str(), &value,
                        &length))
        return "<absent>";
    return static_cast<const char*>(value);
}

// Whether a program file has COFF symbols (the PE file header's count of them), as the build's
// programs have and stripped ones do not. Programs that cannot be read count as having some.
bool hasSymbolTable(const std::string& path) {
    const std::string bytes = readFileText(path);
    if (bytes.size() < 0x40) return true;
    uint32_t header = 0, symbols = 0;
    std::memcpy(&header, bytes.data() + 0x3c, 4);
    if (header > bytes.size() - 24 || bytes.compare(header, 4, std::string("PE\0\0", 4)) != 0)
        return true;
    // After the signature, machine, sections, time stamp and the symbol table's position.
    std::memcpy(&symbols, bytes.data() + header + 16, 4);
    return symbols != 0;
}

// The files the build staged below Plugins\ (relative paths), settings files excepted.
void stagedFiles(const std::string& folder, const std::string& relative,
                 std::vector<std::string>& out) {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + relative + "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == ".." || name == "vis_vzrm_config.ini") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            stagedFiles(folder, relative + name + "\\", out);
        else
            out.push_back(relative + name);
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

// A visible dialog window (class "#32770") of the process other than the one to skip: the
// message box the setup window shows.
struct DialogSearch {
    DWORD process;
    HWND except, found;
};

BOOL CALLBACK findOtherDialog(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<DialogSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char cls[16] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (owner != search->process || window == search->except || !IsWindowVisible(window) ||
        std::string(cls) != "#32770")
        return TRUE;
    search->found = window;
    return FALSE;
}

bool isProgram(const std::string& name) {
    std::string end = name.size() > 4 ? name.substr(name.size() - 4) : "";
    return end == ".dll" || end == ".exe";
}

}  // namespace

TEST(Installer, InstallsTheStagedTreeKeepsSettingsRunsAndUninstalls) {
    ASSERT_TRUE(fileExists(gSetupProgram)) << gSetupProgram << " (made by scripts/package.sh)";
    EXPECT_EQ(versionText(gSetupProgram, "ProductName"), "Vizorama");
    EXPECT_EQ(versionText(gSetupProgram, "ProductVersion"), "1.51");

    PlayerFolder player;
    const std::string ini = "[Winamp]\r\nvisplugin_name=vis_milk2.dll\r\nvisplugin_num=0\r\n";
    writeFileText(player.path() + "winamp.ini", ini);
    makeFolders(player.plugin("Configurations\\"));
    const std::string settings = "[Vizorama]\r\nbgrOnOff=1\r\nmdlName=Mine\r\n";
    writeFileText(player.plugin("Configurations\\vis_vzrm_config.ini"), settings);

    ASSERT_EQ(install(player), 0u);
    std::vector<std::string> files;
    stagedFiles(gStageFolder + "\\", "Plugins\\", files);
    ASSERT_GT(files.size(), 10u);
    for (const std::string& file : files) {
        ASSERT_TRUE(fileExists(player.path() + file)) << file;
        if (!isProgram(file)) {
            EXPECT_EQ(readFileText(player.path() + file), readFileText(gStageFolder + "\\" + file))
                << file;
        }
    }
    // The programs are shipped stripped, with their version resource.
    std::string dll = player.path() + "Plugins\\vis_vzrm.dll";
    EXPECT_FALSE(hasSymbolTable(dll));
    EXPECT_FALSE(hasSymbolTable(player.plugin("Configurations\\vis_vzrm_c.exe")));
    EXPECT_EQ(versionText(dll, "ProductName"), "Vizorama");
    EXPECT_EQ(versionText(dll, "FileVersion"), "1.51");
    EXPECT_NE(readFileText(player.plugin("Readme.txt")).find("Vizorama 1.51"), std::string::npos);
    EXPECT_EQ(readFileText(player.plugin("Configurations\\vis_vzrm_config.ini")), settings);
    EXPECT_EQ(readFileText(player.path() + "winamp.ini"), ini);  // not asked to change it

    // In the programs list, with the uninstaller.
    EXPECT_EQ(registryText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayVersion"), "1.51");
    EXPECT_EQ(registryText(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation"),
              player.withoutSlash());
    EXPECT_EQ(registryText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"),
              "\"" + player.plugin("Uninstall Vizorama.exe") + "\"");

    // The player runs the installed plug-in with its files: no message, a clean stop.
    HostRun host = runHost(player.path() + "Winamp.exe", "--frames 20 --flat-out");
    EXPECT_EQ(host.exitCode, 0u) << host.output;
    EXPECT_TRUE(host.boxes.empty()) << (host.boxes.empty() ? "" : host.boxes[0].text);
    std::string written = readFileText(player.plugin("Configurations\\vis_vzrm_config.ini"));
    EXPECT_EQ(settingsValue(written, "mdlName"), "Mine");

    // Our looks are in place; a look the user saved beside them survives setup run again.
    EXPECT_TRUE(fileExists(player.plugin("Looks\\Golden Hour.ini")));
    const std::string myLook = "[Vizorama]\r\ncamPosition=Spin\r\n";
    makeFolders(player.plugin("Looks\\Mine\\"));
    writeFileText(player.plugin("Looks\\Mine\\My look.ini"), myLook);
    ASSERT_EQ(install(player), 0u);
    EXPECT_EQ(readFileText(player.plugin("Looks\\Mine\\My look.ini")), myLook);

    // The user's own model, skybox and look, and the settings, stay; everything setup put there
    // goes.
    makeFolders(player.plugin("Models\\Mine\\"));
    writeFileText(player.plugin("Models\\Mine\\Model.ase"), "*3DSMAX_ASCIIEXPORT 200\r\n");
    makeFolders(player.plugin("Skyboxes\\Late Afternoon\\Mine\\"));
    writeFileText(player.plugin("Skyboxes\\Late Afternoon\\Mine\\Up.tga"), "mine");
    ASSERT_TRUE(uninstall(player));
    EXPECT_EQ(readFileText(player.plugin("Looks\\Mine\\My look.ini")), myLook);
    for (const std::string& file : files) EXPECT_FALSE(fileExists(player.path() + file)) << file;
    EXPECT_EQ(readFileText(player.plugin("Configurations\\vis_vzrm_config.ini")), written);
    EXPECT_TRUE(fileExists(player.plugin("Models\\Mine\\Model.ase")));
    EXPECT_TRUE(fileExists(player.plugin("Skyboxes\\Late Afternoon\\Mine\\Up.tga")));
    EXPECT_FALSE(fileExists(player.plugin("Readme.txt")));
    EXPECT_TRUE(fileExists(player.path() + "Winamp.exe"));
    EXPECT_EQ(readFileText(player.path() + "winamp.ini"), ini);
    EXPECT_EQ(registryText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), "<absent>");

    // Asked to, the uninstaller also removes the settings and the user's additions.
    ASSERT_EQ(install(player), 0u);
    ASSERT_TRUE(uninstall(player, "/PURGE"));
    EXPECT_TRUE(waitUntil([&] { return !fileExists(player.plugin("")); }, 10000));
    EXPECT_TRUE(fileExists(player.path() + "Plugins"));
}

TEST(Installer, MakesVizoramaTheCurrentVisualisationKeepingEveryOtherLine) {
    ASSERT_TRUE(fileExists(gSetupProgram));
    // Odd spacing and case, a comment, bytes of other code pages, the keys in another section,
    // and a last line without a line break.
    PlayerFolder player;
    writeFileText(player.path() + "winamp.ini",
                  "[Winamp]\r\nutf8=1\r\n; a comment\r\n  VisPlugin_Name = vis_old.dll\r\n"
                  "skin=Caf\xe9 \xc3\xa9\x81\r\n\r\n[Other]\r\nvisplugin_num=7\r\nlast=1");
    ASSERT_EQ(install(player, "/MAKECURRENT"), 0u);
    EXPECT_EQ(
        readFileText(player.path() + "winamp.ini"),
        "[Winamp]\r\nutf8=1\r\n; a comment\r\nvisplugin_name=vis_vzrm.dll\r\n"
        "skin=Caf\xe9 \xc3\xa9\x81\r\nvisplugin_num=0\r\n\r\n[Other]\r\nvisplugin_num=7\r\nlast=1");

    // No [Winamp] section yet (and no final line break): one is added at the end.
    PlayerFolder other;
    writeFileText(other.path() + "winamp.ini", "[Other]\nkey=value");
    ASSERT_EQ(install(other, "/MAKECURRENT"), 0u);
    EXPECT_EQ(
        readFileText(other.path() + "winamp.ini"),
        "[Other]\nkey=value\r\n[Winamp]\r\nvisplugin_name=vis_vzrm.dll\r\nvisplugin_num=0\r\n");

    // The player keeps its settings elsewhere when its paths.ini says so.
    PlayerFolder moved, settingsFolder(false);
    writeFileText(moved.path() + "paths.ini",
                  "[Winamp]\r\ninidir=" + settingsFolder.withoutSlash() + "\r\n");
    writeFileText(moved.path() + "winamp.ini", "[Winamp]\r\n");
    writeFileText(settingsFolder.path() + "winamp.ini", "[Winamp]\r\nvisplugin_num=3\r\n");
    ASSERT_EQ(install(moved, "/MAKECURRENT"), 0u);
    EXPECT_EQ(readFileText(settingsFolder.path() + "winamp.ini"),
              "[Winamp]\r\nvisplugin_num=0\r\nvisplugin_name=vis_vzrm.dll\r\n");
    EXPECT_EQ(readFileText(moved.path() + "winamp.ini"), "[Winamp]\r\n");

    // Uninstalling gives each player back the visualisation it had (a second setup in between
    // remembers nothing new): the keys as they were, those that were absent gone again, every
    // other line as it was.
    ASSERT_EQ(install(player, "/MAKECURRENT"), 0u);
    EXPECT_TRUE(uninstall(player) && uninstall(other) && uninstall(moved));
    EXPECT_EQ(readFileText(player.path() + "winamp.ini"),
              "[Winamp]\r\nutf8=1\r\n; a comment\r\nvisplugin_name=vis_old.dll\r\n"
              "skin=Caf\xe9 \xc3\xa9\x81\r\n\r\n[Other]\r\nvisplugin_num=7\r\nlast=1");
    EXPECT_EQ(readFileText(other.path() + "winamp.ini"), "[Other]\nkey=value\r\n[Winamp]\r\n");
    EXPECT_EQ(readFileText(settingsFolder.path() + "winamp.ini"), "[Winamp]\r\nvisplugin_num=3\r\n");
    EXPECT_FALSE(fileExists(player.plugin("Previous visualisation.ini")));

    // A visualisation chosen after setup stays; one named by hand, with nothing remembered,
    // goes and leaves the player with none.
    ASSERT_EQ(install(player, "/MAKECURRENT"), 0u);
    const std::string chosenLater = "[Winamp]\r\nvisplugin_name=vis_avs.dll\r\nvisplugin_num=2\r\n";
    writeFileText(player.path() + "winamp.ini", chosenLater);
    EXPECT_TRUE(uninstall(player));
    EXPECT_EQ(readFileText(player.path() + "winamp.ini"), chosenLater);
    ASSERT_EQ(install(player), 0u);
    writeFileText(player.path() + "winamp.ini", "[Winamp]\r\nVISPLUGIN_NAME=VIS_VZRM.DLL\r\nvisplugin_num=1\r\n");
    EXPECT_TRUE(uninstall(player));
    EXPECT_EQ(readFileText(player.path() + "winamp.ini"), "[Winamp]\r\nvisplugin_num=1\r\n");
}

TEST(Installer, FindsThePlayerFolderFromThePlayersRegistryEntries) {
    ASSERT_TRUE(fileExists(gSetupProgram));
    // The current user's entry names a folder without the player; the machine's uninstall
    // entry names one with it: setup takes the second.
    PlayerFolder empty(false), player;
    setRegistryText(HKEY_CURRENT_USER, "Software\\Winamp", "", empty.withoutSlash());
    setRegistryText(HKEY_LOCAL_MACHINE,
                    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Winamp",
                    "UninstallString", "\"" + player.path() + "UninstWA.exe\"");
    DWORD status = run("\"" + gSetupProgram + "\" /S");
    RegDeleteKeyExA(HKEY_CURRENT_USER, "Software\\Winamp", KEY_WOW64_32KEY, 0);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE,
                    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Winamp",
                    KEY_WOW64_32KEY, 0);
    ASSERT_EQ(status, 0u);
    EXPECT_TRUE(fileExists(player.path() + "Plugins\\vis_vzrm.dll"));
    EXPECT_FALSE(fileExists(empty.path() + "Plugins"));
    EXPECT_TRUE(uninstall(player));
}

TEST(Installer, WarnsWhenTheChosenFolderHoldsNoPlayer) {
    ASSERT_TRUE(fileExists(gSetupProgram));
    PlayerFolder empty(false);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string line = "\"" + gSetupProgram + "\" /D=" + empty.withoutSlash();
    ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &si, &pi));
    // The setup window, then a message box above it once "Next" leaves the folder page.
    HWND setup = nullptr, box = nullptr;
    ASSERT_TRUE(waitUntil(
        [&] { return (setup = findProcessWindow(pi.dwProcessId, "#32770")) != nullptr; }, 20000));
    auto otherDialog = [&] {
        DialogSearch search = {pi.dwProcessId, setup, nullptr};
        EnumWindows(findOtherDialog, reinterpret_cast<LPARAM>(&search));
        return search.found;
    };
    // "Next" on the welcome page and on the components page (its tree of parts shows); on the
    // folder page (its folder field shows) "Next" again.
    auto pageShows = [&](int control) {
        return waitUntil(
            [&] {
                HWND page = FindWindowExA(setup, nullptr, "#32770", nullptr);
                return page && GetDlgItem(page, control);
            },
            10000);
    };
    PostMessageA(GetDlgItem(setup, 1), BM_CLICK, 0, 0);
    ASSERT_TRUE(pageShows(1032));
    PostMessageA(GetDlgItem(setup, 1), BM_CLICK, 0, 0);
    ASSERT_TRUE(pageShows(1019));
    PostMessageA(GetDlgItem(setup, 1), BM_CLICK, 0, 0);
    waitUntil([&] { return (box = otherDialog()) != nullptr; }, 10000);
    ASSERT_NE(box, nullptr);
    char buffer[512] = {};
    GetWindowTextA(GetDlgItem(box, 0xFFFF), buffer, sizeof buffer);
    std::string text = buffer;
    PostMessageA(GetDlgItem(box, IDNO), BM_CLICK, 0, 0);  // stay on the folder page
    EXPECT_NE(text.find("There is no Winamp.exe"), std::string::npos) << text;
    EXPECT_NE(text.find(empty.withoutSlash()), std::string::npos) << text;
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 5000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_FALSE(fileExists(empty.path() + "Plugins"));
}

namespace {

bool nativeSystemIs64Bit() {
    SYSTEM_INFO info = {};
    GetNativeSystemInfo(&info);
    return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64;
}

std::string shellFolder(int csidl) {
    char path[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return std::string(path) + "\\";
}

// Every programs-list entry of both registry views, to compare before and after.
std::vector<std::string> uninstallEntries() {
    std::vector<std::string> names;
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        HKEY handle;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
                          0, KEY_READ | view, &handle) != ERROR_SUCCESS)
            continue;
        char name[256];
        for (DWORD i = 0;; ++i) {
            DWORD size = sizeof name;
            if (RegEnumKeyExA(handle, i, name, &size, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
                break;
            names.push_back((view == KEY_WOW64_64KEY ? "64: " : "32: ") + std::string(name));
        }
        RegCloseKey(handle);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The program's part as setup installs it: C:\Program Files\Vizorama, its Start-menu shortcut
// and the user's folder %APPDATA%\Vizorama; the build's program folder to compare with.
struct ProgramPlaces {
    std::string folder = shellFolder(CSIDL_PROGRAM_FILES) + "Vizorama\\";
    std::string uninstaller = folder + "Uninstall Vizorama.exe";
    std::string shortcut = shellFolder(CSIDL_COMMON_PROGRAMS) + "Vizorama.lnk";
    std::string user = shellFolder(CSIDL_APPDATA) + "Vizorama\\";
    std::string staged = gStageFolder + "\\..\\program\\";
};

DWORD installParts(const std::string& options) {
    return run("\"" + gSetupProgram + "\" /S " + options);
}

// Runs the uninstaller the programs list names, as a user would, and waits until its copy has
// removed it and the entry.
bool uninstallListed(const std::string& options = "") {
    std::string command =
        registryText(HKEY_LOCAL_MACHINE, kUninstallKey, "QuietUninstallString");
    std::string uninstaller = registryText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString");
    if (command == "<absent>" || uninstaller.size() < 2) return false;
    uninstaller = uninstaller.substr(1, uninstaller.size() - 2);  // without its quotes
    if (run(command + (options.empty() ? "" : " ") + options) != 0) return false;
    return waitUntil(
        [&] {
            return !fileExists(uninstaller) &&
                   registryText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName") == "<absent>";
        },
        30000);
}

class InstallerProgram : public ::testing::Test {
protected:
    void SetUp() override {
        if (sizeof(void*) == 4) GTEST_SKIP() << "the program's part: in the 64-bit test program";
        ASSERT_TRUE(fileExists(gSetupProgram)) << gSetupProgram;
        ASSERT_TRUE(fileExists(places.staged + "vizorama.exe")) << places.staged;
        ASSERT_FALSE(fileExists(places.folder)) << "left by an earlier run";
        entriesBefore = uninstallEntries();
    }
    ProgramPlaces places;
    std::vector<std::string> entriesBefore;
};

}  // namespace

TEST(Installer, RefusesTheProgramPartOn32BitWindows) {
    if (nativeSystemIs64Bit()) GTEST_SKIP() << "64-bit Windows: InstallerProgram.*";
    ASSERT_TRUE(fileExists(gSetupProgram));
    EXPECT_EQ(installParts("/PARTS=program"), 2u);
    EXPECT_EQ(installParts("/PARTS=plugin,program"), 2u);
    EXPECT_FALSE(fileExists(shellFolder(CSIDL_PROGRAM_FILES) + "Vizorama"));
    EXPECT_EQ(registryText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), "<absent>");
}

TEST_F(InstallerProgram, InstallsSilentlyRunsAndUninstallsKeepingTheUsersFiles) {
    ASSERT_EQ(installParts("/PARTS=program"), 0u);
    std::vector<std::string> files;
    stagedFiles(places.staged, "", files);
    ASSERT_GT(files.size(), 30u);
    for (const std::string& file : files) {
        ASSERT_TRUE(fileExists(places.folder + file)) << file;
        if (isProgram(file))
            EXPECT_FALSE(hasSymbolTable(places.folder + file)) << file;
        else
            EXPECT_EQ(readFileText(places.folder + file), readFileText(places.staged + file)) << file;
    }
    EXPECT_NE(readFileText(places.shortcut).find("vizorama.exe"), std::string::npos);
    // One entry, in the system's own view, naming the uninstaller beside the program.
    EXPECT_EQ(registryText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"),
              "\"" + places.uninstaller + "\"");
    EXPECT_EQ(registryText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayIcon"),
              places.folder + "vizorama.exe");
    EXPECT_EQ(registryText(HKEY_LOCAL_MACHINE, kUninstallKey, "Parts"), "program");
    const std::string programSize =
        registryText(HKEY_LOCAL_MACHINE, kUninstallKey, "EstimatedSize");
    EXPECT_GT(std::atoi(programSize.c_str()), 1000);
    EXPECT_EQ(registryText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", KEY_WOW64_32KEY),
              "<absent>");

    // It starts from there, finds its assets and keeps the user's files in %APPDATA%.
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string log = std::string(temp) + "vzrm-installed-program.log";
    HostRun program = runHost(places.folder + "vizorama.exe",
                              "--signal builtin --frames 20 --flat-out --frame-log \"" + log + "\"");
    DeleteFileA((places.folder + "vizorama.exe.out.txt").c_str());  // runHost's record of output
    EXPECT_EQ(program.exitCode, 0u) << program.output;
    EXPECT_TRUE(program.boxes.empty()) << (program.boxes.empty() ? "" : program.boxes[0].text);
    EXPECT_EQ(program.output.find("cannot"), std::string::npos) << program.output;
    const std::string frames = readFileText(log);
    EXPECT_EQ(std::count(frames.begin(), frames.end(), '\n'), 20) << frames;
    DeleteFileA(log.c_str());
    EXPECT_TRUE(fileExists(places.user + "vis_vzrm_config.ini"));

    // A look of the user's survives setup run again (without /PARTS and with no player found:
    // the program again) and the uninstaller; everything setup put in place goes.
    const std::string myLook = "[Vizorama]\r\ncamPosition=Spin\r\n";
    makeFolders(places.user + "Looks\\");
    writeFileText(places.user + "Looks\\My look.ini", myLook);
    ASSERT_EQ(installParts(""), 0u);
    EXPECT_EQ(registryText(HKEY_LOCAL_MACHINE, kUninstallKey, "Parts"), "program");
    ASSERT_TRUE(uninstallListed());
    EXPECT_FALSE(fileExists(places.folder));
    EXPECT_FALSE(fileExists(places.shortcut));
    EXPECT_EQ(uninstallEntries(), entriesBefore);
    EXPECT_EQ(readFileText(places.user + "Looks\\My look.ini"), myLook);
    EXPECT_TRUE(fileExists(places.user + "vis_vzrm_config.ini"));

    // Asked to, the uninstaller removes the user's folder too.
    ASSERT_EQ(installParts("/PARTS=program"), 0u);
    ASSERT_TRUE(uninstallListed("/PURGE"));
    EXPECT_TRUE(waitUntil([&] { return !fileExists(places.user); }, 10000));
    EXPECT_FALSE(fileExists(places.folder));
}

TEST_F(InstallerProgram, BothPartsShareOneEntryAndOneUninstaller) {
    // The plug-in alone first, its entry as a setup from before the parts left it (in the
    // 32-bit view, naming the player's folder only), then the program added by another setup.
    PlayerFolder player;
    ASSERT_EQ(install(player), 0u);
    const std::string pluginUninstaller = player.plugin("Uninstall Vizorama.exe");
    EXPECT_TRUE(fileExists(pluginUninstaller));
    const int pluginSize =
        std::atoi(registryText(HKEY_LOCAL_MACHINE, kUninstallKey, "EstimatedSize").c_str());
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_64KEY, 0);
    setRegistryText(HKEY_LOCAL_MACHINE, kUninstallKey, "InstallLocation", player.withoutSlash());
    setRegistryText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString",
                    "\"" + pluginUninstaller + "\"");
    ASSERT_EQ(installParts("/PARTS=program"), 0u);
    EXPECT_EQ(registryText(HKEY_LOCAL_MACHINE, kUninstallKey, "Parts"), "plugin,program");
    EXPECT_EQ(registryText(HKEY_LOCAL_MACHINE, kUninstallKey, "PlayerFolder"),
              player.withoutSlash());
    EXPECT_EQ(registryText(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"),
              "\"" + places.uninstaller + "\"");
    EXPECT_GT(std::atoi(registryText(HKEY_LOCAL_MACHINE, kUninstallKey, "EstimatedSize").c_str()),
              pluginSize + 1000);
    EXPECT_FALSE(fileExists(pluginUninstaller));
    EXPECT_EQ(uninstallEntries().size(), entriesBefore.size() + 1);
    ASSERT_TRUE(uninstallListed());
    EXPECT_FALSE(fileExists(player.path() + "Plugins\\vis_vzrm.dll"));
    EXPECT_FALSE(fileExists(player.plugin("Readme.txt")));
    EXPECT_FALSE(fileExists(places.folder));
    EXPECT_EQ(uninstallEntries(), entriesBefore);

    // Both parts in one setup, made current in the player: one uninstaller removes both and
    // gives the player back its visualisation.
    const std::string ini = "[Winamp]\r\nvisplugin_name=vis_milk2.dll\r\nvisplugin_num=0\r\n";
    writeFileText(player.path() + "winamp.ini", ini);
    ASSERT_EQ(install(player, "/PARTS=plugin,program /MAKECURRENT"), 0u);
    EXPECT_TRUE(fileExists(player.path() + "Plugins\\vis_vzrm.dll"));
    EXPECT_TRUE(fileExists(places.folder + "vizorama.exe"));
    EXPECT_EQ(settingsValue(readFileText(player.path() + "winamp.ini"), "visplugin_name"),
              "vis_vzrm.dll");
    EXPECT_FALSE(fileExists(pluginUninstaller));
    EXPECT_EQ(registryText(HKEY_LOCAL_MACHINE, kUninstallKey, "Parts"), "plugin,program");
    ASSERT_TRUE(uninstallListed());
    EXPECT_FALSE(fileExists(player.path() + "Plugins\\vis_vzrm.dll"));
    EXPECT_FALSE(fileExists(places.folder));
    EXPECT_FALSE(fileExists(places.shortcut));
    EXPECT_EQ(readFileText(player.path() + "winamp.ini"), ini);
    EXPECT_EQ(uninstallEntries(), entriesBefore);
}
