#include "config_tool/PageControls.h"

#include <vector>

#include "platform/Platform.h"
#include "settings/FolderName.h"

HWND createPage(HWND parent, int templateId, DLGPROC proc, void* param) {
    return CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), parent,
                              proc, reinterpret_cast<LPARAM>(param));
}

INT_PTR CALLBACK plainPageProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

void setCheck(HWND page, int id, uint32_t value) {
    CheckDlgButton(page, id, value != 0 ? BST_CHECKED : BST_UNCHECKED);
}

uint32_t checkOf(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }

void fillList(HWND list, choices::NameList entries, int columnWidth, int itemHeight) {
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    SendMessageA(list, LB_SETCOLUMNWIDTH, static_cast<WPARAM>(columnWidth), 0);
    SendMessageA(list, LB_SETITEMHEIGHT, 0, MAKELPARAM(itemHeight, 0));
    for (const char* entry : entries)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
}

void fillDropDown(HWND combo, choices::NameList entries) {
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    for (const char* entry : entries)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
}

// An entry equal to the value (ignoring case) first: the platform's search for a beginning
// alone, which starts at the second entry, would pick "Late Afternoon 2" for "Late Afternoon".
// Then the platform's own search: from the entry after index 0 round to index 0, the first
// entry that begins with the text, case-insensitively.
bool selectListEntry(HWND list, const std::string& value) {
    if (value.empty()) return false;
    LPARAM text = reinterpret_cast<LPARAM>(value.c_str());
    LRESULT exact = SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), text);
    if (exact != LB_ERR) return SendMessageA(list, LB_SETCURSEL, exact, 0) != LB_ERR;
    return SendMessageA(list, LB_SELECTSTRING, 0, text) != LB_ERR;
}

bool selectDropDownEntry(HWND combo, const std::string& value) {
    if (value.empty()) return false;
    LPARAM text = reinterpret_cast<LPARAM>(value.c_str());
    LRESULT exact = SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), text);
    if (exact != CB_ERR) return SendMessageA(combo, CB_SETCURSEL, exact, 0) != CB_ERR;
    return SendMessageA(combo, CB_SELECTSTRING, 0, text) != CB_ERR;
}

namespace {

std::string itemText(HWND control, UINT lengthMessage, UINT textMessage, LRESULT index) {
    LRESULT length = SendMessageA(control, lengthMessage, static_cast<WPARAM>(index), 0);
    if (length < 0) return {};
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(control, textMessage, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

}  // namespace

void collectListEntry(HWND list, std::string& field) {
    LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (index != LB_ERR) field = itemText(list, LB_GETTEXTLEN, LB_GETTEXT, index);
}

void collectDropDownEntry(HWND combo, std::string& field) {
    LRESULT index = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (index != CB_ERR) field = itemText(combo, CB_GETLBTEXTLEN, CB_GETLBTEXT, index);
}

namespace {

// The key table's entry for a text key the pages name; every name they use is one.
const SettingKey& textKey(const char* name) {
    static const SettingKey none;
    const SettingKey* key = findSettingKey(name);
    return key && key->kind == KeyKind::Text ? *key : none;
}

template <typename Collect>
void collectInto(HWND control, Settings& settings, const char* name, Collect collect) {
    const SettingKey& key = textKey(name);
    if (!key.text) return;
    std::string value = key.text(settings);
    collect(control, value);
    key.setText(settings, value);
}

}  // namespace

void fillList(HWND list, const char* key, int columnWidth, int itemHeight) {
    fillList(list, textKey(key).choices, columnWidth, itemHeight);
}

void fillDropDown(HWND combo, const char* key) { fillDropDown(combo, textKey(key).choices); }

bool selectListEntry(HWND list, const Settings& settings, const char* name) {
    const SettingKey& key = textKey(name);
    return key.text && selectListEntry(list, key.text(settings));
}

bool selectDropDownEntry(HWND combo, const Settings& settings, const char* name) {
    const SettingKey& key = textKey(name);
    return key.text && selectDropDownEntry(combo, key.text(settings));
}

void collectListEntry(HWND list, Settings& settings, const char* key) {
    collectInto(list, settings, key, [](HWND c, std::string& v) { collectListEntry(c, v); });
}

void collectDropDownEntry(HWND combo, Settings& settings, const char* key) {
    collectInto(combo, settings, key, [](HWND c, std::string& v) { collectDropDownEntry(c, v); });
}

std::string pluginFolder() {
    std::string folder = platform::executableFolder();  // "...\Plugins\vis_vzrm\Configurations\"
    if (folder.size() < 2) return {};
    size_t parent = folder.find_last_of('\\', folder.size() - 2);
    return parent == std::string::npos ? std::string() : folder.substr(0, parent + 1);
}

void fillFolderList(HWND list, const char* subfolder) {
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    std::string folder = pluginFolder();
    if (folder.empty()) return;
    // The list's own listing: files by name, sub-folders as "[name]", the parent as "[..]".
    // (Unlike DlgDirList it leaves the current directory alone.)
    std::string pattern = folder + subfolder + "\\*.*";
    if (pattern.size() >= MAX_PATH) return;
    if (SendMessageA(list, LB_DIR, DDL_DIRECTORY, reinterpret_cast<LPARAM>(pattern.c_str())) ==
        LB_ERR)
        return;
    // Unwrap the bracketed entries (a folder named "[Test]" is listed as "[[Test]]" and ends as
    // "Test"), drop the parent folder, and sort the names afresh: inserting unwrapped names
    // among bracketed ones one by one can leave a sorted list out of order.
    std::vector<std::string> names;
    LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::string name = itemText(list, LB_GETTEXTLEN, LB_GETTEXT, i);
        if (name == "[..]") continue;
        while (!name.empty() && name[0] == '[')
            name = name.size() > 2 ? name.substr(1, name.size() - 2) : std::string();
        if (!name.empty() && staysInsideFolder(name)) names.push_back(name);
    }
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& name : names)
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
}
