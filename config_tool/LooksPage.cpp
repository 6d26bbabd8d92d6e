#include "config_tool/LooksPage.h"

#include <commctrl.h>

#include <algorithm>

#include "config_tool/ConfigIds.h"
#include "config_tool/LookNameDialog.h"
#include "config_tool/PageControls.h"
#include "plugin/Folders.h"
#include "readers/AssetFolder.h"
#include "settings/Settings.h"

namespace {

constexpr const char* kMineMark = " (mine)";
constexpr const char* kLooksCaption = "Looks";

// lookSeconds' range, from the key table (which always holds the key).
const SettingKey& secondsKey() {
    static const SettingKey none;
    const SettingKey* key = findSettingKey("lookSeconds");
    return key ? *key : none;
}

void showError(HWND owner, const std::string& text) {
    MessageBoxA(owner, text.c_str(), "Error", MB_OK | MB_ICONERROR);
}

}  // namespace

bool LooksPage::create(HWND parent) {
    window_ = createPage(parent, IDD_LOOKS, proc, this);
    if (!window_) return false;
    fillDropDown(GetDlgItem(window_, IDC_LOOK_CHANGE), "lookChange");
    fillDropDown(GetDlgItem(window_, IDC_LOOK_ORDER), "lookOrder");
    SendDlgItemMessageA(window_, IDC_LOOK_SECONDS_SPIN, UDM_SETRANGE32, secondsKey().lowest,
                        secondsKey().highest);
    return true;
}

INT_PTR CALLBACK LooksPage::proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    LooksPage* self = pageOf<LooksPage>(page, message, lParam);
    if (self && message == WM_COMMAND) return self->command(LOWORD(wParam), HIWORD(wParam));
    return FALSE;
}

bool LooksPage::command(int id, int code) {
    if (id == IDC_LOOK_LIST && code == LBN_SELCHANGE) enableButtons();
    else if ((id == IDC_LOOK_LIST && code == LBN_DBLCLK) ||
             (id == IDC_LOOK_USE && code == BN_CLICKED))
        use();
    else if (id == IDC_LOOK_SAVE && code == BN_CLICKED) saveCurrent();
    else if (id == IDC_LOOK_DELETE && code == BN_CLICKED) deleteSelected();
    else return false;
    return true;
}

void LooksPage::refresh() {
    selectDropDownEntry(GetDlgItem(window_, IDC_LOOK_CHANGE), settings_, "lookChange");
    selectDropDownEntry(GetDlgItem(window_, IDC_LOOK_ORDER), settings_, "lookOrder");
    SetDlgItemInt(window_, IDC_LOOK_SECONDS, settings_.lookSeconds, FALSE);
    listLooks(settings_.lookName.text());
    showChosen();
}

void LooksPage::collect() {
    collectDropDownEntry(GetDlgItem(window_, IDC_LOOK_CHANGE), settings_, "lookChange");
    collectDropDownEntry(GetDlgItem(window_, IDC_LOOK_ORDER), settings_, "lookOrder");
    BOOL number = FALSE;
    const UINT seconds = GetDlgItemInt(window_, IDC_LOOK_SECONDS, &number, FALSE);
    if (number)
        settings_.lookSeconds =
            std::clamp<uint32_t>(seconds, secondsKey().lowest, secondsKey().highest);
    SetDlgItemInt(window_, IDC_LOOK_SECONDS, settings_.lookSeconds, FALSE);

    // Listed again first: the plug-in may have saved a look of the user's meanwhile. A change on
    // another page that makes the settings a look no more leaves them the user's own.
    const size_t wasSelected = selected();
    listLooks(wasSelected == LookLibrary::npos ? std::string()
                                               : library_.looks()[wasSelected].name);
    const size_t look = library_.matching(settings_, settings_.lookName.text());
    settings_.lookName = look == LookLibrary::npos ? std::string() : library_.looks()[look].name;
    showChosen();
}

void LooksPage::listLooks(const std::string& select) {
    AssetFolders folders;
    folders.own = pluginFolder();
    if (!folders.own.empty()) folders.userLooks = folders.own + kUserLooksSubfolder;
    library_.refresh(folders.folderFor(AssetKind::Looks, ""),
                     folders.folderFor(AssetKind::UserLooks, ""));

    // Unsorted: ours first, then the user's, so a position in the list is one in the library.
    HWND list = GetDlgItem(window_, IDC_LOOK_LIST);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (const LookEntry& look : library_.looks()) {
        const std::string text = look.name + (look.ours ? "" : kMineMark);
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    const size_t at = library_.find(select);
    if (at != LookLibrary::npos) SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(at), 0);
    enableButtons();
}

size_t LooksPage::selected() const {
    const LRESULT index = SendDlgItemMessageA(window_, IDC_LOOK_LIST, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR || static_cast<size_t>(index) >= library_.size()) return LookLibrary::npos;
    return static_cast<size_t>(index);
}

void LooksPage::showChosen() {
    const std::string text = settings_.lookName.empty()
                                 ? std::string("Chosen look: none, your own settings")
                                 : "Chosen look: " + settings_.lookName.text();
    SetDlgItemTextA(window_, IDC_LOOK_CHOSEN, text.c_str());
}

void LooksPage::enableButtons() {
    const size_t look = selected();
    EnableWindow(GetDlgItem(window_, IDC_LOOK_USE), look != LookLibrary::npos);
    EnableWindow(GetDlgItem(window_, IDC_LOOK_DELETE),
                 look != LookLibrary::npos && !library_.looks()[look].ours);
}

void LooksPage::use() {
    // The other pages' unsaved edits of what a look does not hold (the window, the texture
    // depth) stay; the rest is the look's.
    collectPages_();
    const size_t index = selected();
    if (index == LookLibrary::npos) return;
    Settings look;
    if (!library_.read(index, look)) {
        showError(owner(), "The look could not be read:\n" + library_.pathOf(index));
        return;
    }
    copyKeys(settings_, look, KeySet::Look);
    settings_.lookName = library_.looks()[index].name;
    refreshPages_();
}

void LooksPage::saveCurrent() {
    collectPages_();
    // A look of the user's that is selected is offered for saving over; else a new name.
    const size_t index = selected();
    const std::string initial = index != LookLibrary::npos && !library_.looks()[index].ours
                                    ? library_.looks()[index].name
                                    : library_.freeUserName();
    const std::string name = askLookName(owner(), initial, [this](HWND dialog, const std::string& n) {
        return acceptName(dialog, n);
    });
    if (name.empty()) return;  // cancelled
    if (!library_.save(name, settings_)) {
        showError(owner(), "The look could not be saved to:\n" + pluginFolder() +
                               kUserLooksSubfolder + name + kLookExtension);
        listLooks(name);
        return;
    }
    // Saving over "quiet" keeps the file "Quiet.ini": the name is the listed one.
    const size_t saved = library_.findAnyCase(name);
    settings_.lookName = saved == LookLibrary::npos ? name : library_.looks()[saved].name;
    listLooks(settings_.lookName.text());
    showChosen();
}

bool LooksPage::acceptName(HWND dialog, const std::string& name) {
    if (const char* problem = library_.lookNameProblem(name)) {
        const std::string text =
            name.empty() ? problem : "The look cannot be saved as \"" + name + "\".\n\n" + problem;
        MessageBoxA(dialog, text.c_str(), kLooksCaption, MB_OK | MB_ICONWARNING);
        return false;
    }
    const size_t mine = library_.findAnyCase(name);
    if (mine == LookLibrary::npos) return true;
    const std::string question = "You have a look named \"" + library_.looks()[mine].name +
                                 "\". Replace it with the current settings?";
    return MessageBoxA(dialog, question.c_str(), kLooksCaption,
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void LooksPage::deleteSelected() {
    const size_t index = selected();
    if (index == LookLibrary::npos || library_.looks()[index].ours) return;
    const std::string name = library_.looks()[index].name;
    const std::string path = library_.pathOf(index);
    const std::string question = "Delete your look \"" + name + "\"?\n\nIts file is removed now: " +
                                 "Cancel and Reset do not bring it back.";
    if (MessageBoxA(owner(), question.c_str(), kLooksCaption,
                    MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    if (!library_.remove(name)) showError(owner(), "The look could not be deleted:\n" + path);
    // The settings keep its keys: they are the user's own now.
    if (settings_.lookName.text() == name) settings_.lookName = "";
    listLooks(settings_.lookName.text());
    showChosen();
}
