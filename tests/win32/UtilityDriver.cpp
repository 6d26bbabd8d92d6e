#include "tests/win32/UtilityDriver.h"

#include <commctrl.h>

#include <cstring>

#include "host/Screenshot.h"

namespace {

std::string narrow(const wchar_t* text) {
    char out[2048] = {};
    WideCharToMultiByte(CP_ACP, 0, text, -1, out, sizeof out, nullptr, nullptr);
    return out;
}

struct TitleSearch {
    DWORD processId;  // 0: any process
    const char* title;
    HWND except;
    HWND found;
};

BOOL CALLBACK findTitled(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<TitleSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if ((search->processId && owner != search->processId) || window == search->except ||
        !IsWindowVisible(window))
        return TRUE;
    char cls[64] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (std::strcmp(cls, "#32770") != 0 || textOf(window) != search->title) return TRUE;
    search->found = window;
    return FALSE;
}

HWND findTitledWindow(DWORD processId, const char* title, HWND except) {
    TitleSearch search = {processId, title, except, nullptr};
    EnumWindows(findTitled, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<std::string> itemTexts(HWND control, UINT countMessage, UINT lengthMessage,
                                   UINT textMessage) {
    std::vector<std::string> texts;
    LRESULT count = SendMessageW(control, countMessage, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = SendMessageW(control, lengthMessage, static_cast<WPARAM>(i), 0);
        std::vector<wchar_t> text(length > 0 ? static_cast<size_t>(length) + 1 : 1, L'\0');
        SendMessageW(control, textMessage, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(text.data()));
        texts.push_back(narrow(text.data()));
    }
    return texts;
}

}  // namespace

HWND findUtilityDialog() { return findTitledWindow(0, kUtilityTitle, nullptr); }

void endAllUtilities() {
    for (HWND dialog; (dialog = findUtilityDialog()) != nullptr;) {
        DWORD processId = 0;
        GetWindowThreadProcessId(dialog, &processId);
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId);
        if (!process) return;
        TerminateProcess(process, 99);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
}

Utility::Utility(const InstallTree& tree) {
    std::string exe = tree.configurationFolder() + "vis_vzrm_c.exe";
    std::string commandLine = "\"" + exe + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    // Started from another folder: the utility finds its file beside itself, not in the
    // current directory.
    if (!CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        tree.folder().c_str(), &si, &process_))
        return;
    // Until its dialog shows, or it ends without one.
    waitUntil([&] {
        dialog_ = findTitledWindow(process_.dwProcessId, kUtilityTitle, nullptr);
        return dialog_ || WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0;
    }, 10000);
}

Utility::~Utility() {
    if (process_.hProcess) {
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_.hProcess, 99);
            WaitForSingleObject(process_.hProcess, 5000);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
}

HWND showPage(HWND dialog, int index) {
    HWND tabs = GetDlgItem(dialog, 1005);
    SendMessageW(tabs, TCM_SETCURFOCUS, static_cast<WPARAM>(index), 0);
    // The page is the one child dialog that shows.
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[64] = {};
        GetClassNameA(child, cls, sizeof cls);
        if (std::strcmp(cls, "#32770") == 0 && IsWindowVisible(child)) return child;
    }
    return nullptr;
}

void click(HWND parent, int id) { SendMessageW(GetDlgItem(parent, id), BM_CLICK, 0, 0); }

void postClick(HWND parent, int id) {
    PostMessageW(GetDlgItem(parent, id), BM_CLICK, 0, 0);
}

DWORD Utility::waitForExit(DWORD timeoutMs) {
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process_.hProcess, timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

HWND Utility::waitForWindow(const char* title, DWORD timeoutMs) const {
    HWND found = nullptr;
    waitUntil([&] { return (found = findTitledWindow(process_.dwProcessId, title, dialog_)) != nullptr; },
              timeoutMs);
    return found;
}

bool Utility::savePicture(const std::string& name) const {
    Sleep(250);  // let the utility paint what it was just asked to show
    return saveScreenshot(gScreenshotFolder + "\\" + name);
}

std::vector<std::string> Utility::tabLabels() const {
    std::vector<std::string> labels;
    HWND tabs = GetDlgItem(dialog_, 1005);
    const size_t textChars = 64;
    char* remote = static_cast<char*>(VirtualAllocEx(process_.hProcess, nullptr, 4096,
                                                     MEM_COMMIT, PAGE_READWRITE));
    if (!remote) return labels;
    auto* remoteText = reinterpret_cast<wchar_t*>(remote + 1024);
    LRESULT count = SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = remoteText;
        item.cchTextMax = static_cast<int>(textChars);
        wchar_t text[textChars] = {};
        WriteProcessMemory(process_.hProcess, remote, &item, sizeof item, nullptr);
        WriteProcessMemory(process_.hProcess, remoteText, text, sizeof text, nullptr);
        SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote));
        ReadProcessMemory(process_.hProcess, remoteText, text, sizeof text, nullptr);
        text[textChars - 1] = L'\0';
        labels.push_back(narrow(text));
    }
    VirtualFreeEx(process_.hProcess, remote, 0, MEM_RELEASE);
    return labels;
}

std::string textOf(HWND window) {
    wchar_t text[1024] = {};
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_BLOCK,
                        2000, nullptr);
    return narrow(text);
}

std::vector<std::string> childTexts(HWND parent) {
    std::vector<std::string> texts;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        texts.push_back(textOf(child));
    return texts;
}

bool isChecked(HWND page, int id) {
    return SendMessageW(GetDlgItem(page, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void setChecked(HWND page, int id, bool checked) {
    if (isChecked(page, id) != checked) SendMessageW(GetDlgItem(page, id), BM_CLICK, 0, 0);
}

std::vector<std::string> listEntries(HWND page, int id) {
    return itemTexts(GetDlgItem(page, id), LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

std::string listSelection(HWND page, int id) {
    LRESULT index = SendMessageW(GetDlgItem(page, id), LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? "" : listEntries(page, id)[static_cast<size_t>(index)];
}

void selectListText(HWND page, int id, const std::string& text) {
    std::vector<std::string> entries = listEntries(page, id);
    HWND list = GetDlgItem(page, id);
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i] != text) continue;
        SendMessageW(list, LB_SETCURSEL, i, 0);
        SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    }
}

std::vector<std::string> dropDownEntries(HWND page, int id) {
    return itemTexts(GetDlgItem(page, id), CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

std::string dropDownSelection(HWND page, int id) {
    LRESULT index = SendMessageW(GetDlgItem(page, id), CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? "" : dropDownEntries(page, id)[static_cast<size_t>(index)];
}

void selectDropDownText(HWND page, int id, const std::string& text) {
    std::vector<std::string> entries = dropDownEntries(page, id);
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i] == text) SendMessageW(GetDlgItem(page, id), CB_SETCURSEL, i, 0);
}

std::string answerMessageBox(const Utility& utility, DWORD timeoutMs, const char* title,
                             int button) {
    HWND box = utility.waitForWindow(title, timeoutMs);
    if (!box) return "";
    std::string text = textOf(GetDlgItem(box, 0xFFFF));
    PostMessageW(GetDlgItem(box, button), BM_CLICK, 0, 0);
    waitUntil([&] { return !IsWindow(box); }, 5000);
    return text;
}
