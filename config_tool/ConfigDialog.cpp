#include "config_tool/ConfigDialog.h"

#include <commctrl.h>

#include <iterator>
#include <string>

#include "config_tool/ConfigIds.h"
#include "config_tool/Folders.h"

namespace {

const char* const kTabs[] = {"About", "Effects", "Graphics", "3D Models", "Misc", "Looks"};

// Posted to itself once the dialog shows, to tell the user about an unreadable file.
constexpr UINT kReportUnreadable = WM_APP + 1;

}  // namespace

void ConfigDialog::run() {
    DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MAIN), nullptr, proc,
                    reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK ConfigDialog::proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        reinterpret_cast<ConfigDialog*>(lParam)->window_ = dialog;
    }
    auto* self = reinterpret_cast<ConfigDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    return self ? self->handle(message, wParam, lParam) : FALSE;
}

INT_PTR ConfigDialog::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        initialise();
        return TRUE;
    case kReportUnreadable: {
        std::string text = "The settings file could not be read:\n" +
                           utilitySettingsFile() +
                           "\n\nThe pages show the default settings, and \"Apply\" and \"OK\" "
                           "will leave the file as it is. Close the program that holds the file, "
                           "then start the configuration utility again.";
        ShowWindow(window_, SW_SHOW);  // the box comes before the dialog would show itself
        MessageBoxA(window_, text.c_str(), "Error", MB_OK | MB_ICONERROR);
        return TRUE;
    }
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom != tabs_ || header->code != TCN_SELCHANGE) return FALSE;
        showPage(static_cast<int>(SendMessageA(tabs_, TCM_GETCURSEL, 0, 0)));
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            collectPages();
            if (save()) EndDialog(window_, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(window_, IDCANCEL);
            return TRUE;
        case IDC_APPLY:
            collectPages();
            save();
            return TRUE;
        case IDC_RESET:
            // Nothing is written until "Apply" or "OK".
            settings_->reset();
            refreshPages();
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

void ConfigDialog::initialise() {
    tabs_ = GetDlgItem(window_, IDC_TABS);
    // Each tab as wide as its label: at the default least width the six tabs overflow the
    // dialog's width and the row scrolls, hiding "About".
    SendMessageA(tabs_, TCM_SETMINTABWIDTH, 0, 0);
    for (int i = 0; i < static_cast<int>(std::size(kTabs)); ++i) {
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(kTabs[i]);
        SendMessageA(tabs_, TCM_INSERTITEMA, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(&item));
    }

    // The pages cover the tab control's display area, in the dialog's coordinates.
    RECT area;
    GetWindowRect(tabs_, &area);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&area), 2);
    SendMessageA(tabs_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));

    settings_ = std::make_unique<Settings>();
    about_ = std::make_unique<AboutPage>();
    effects_ = std::make_unique<EffectsPage>(*settings_);
    graphics_ = std::make_unique<GraphicsPage>(*settings_);
    models_ = std::make_unique<ModelsPage>(*settings_);
    misc_ = std::make_unique<MiscPage>(*settings_);
    looks_ = std::make_unique<LooksPage>(
        *settings_, [this] { collectPages(); }, [this] { refreshPages(); });
    about_->create(window_);
    effects_->create(window_);
    graphics_->create(window_);
    models_->create(window_);
    misc_->create(window_);
    looks_->create(window_);
    // Stacked just above the tab control, so they are drawn over it and the keyboard reaches
    // their controls right before the tabs.
    HWND above = GetWindow(tabs_, GW_HWNDPREV);
    for (HWND page : pageWindows()) {
        SetWindowPos(page, above ? above : HWND_TOP, area.left, area.top, area.right - area.left,
                     area.bottom - area.top, SWP_NOACTIVATE);
        above = page;
    }
    showPage(0);

    fileUnreadable_ = !settings_->readFile(utilitySettingsFile(), kSettingsSection);
    refreshPages();
    if (fileUnreadable_) PostMessageA(window_, kReportUnreadable, 0, 0);
}

std::array<HWND, 6> ConfigDialog::pageWindows() const {
    return {about_->window(),  effects_->window(), graphics_->window(),
            models_->window(), misc_->window(),    looks_->window()};
}

void ConfigDialog::showPage(int index) {
    const std::array<HWND, 6> pages = pageWindows();
    for (HWND page : pages) ShowWindow(page, SW_HIDE);
    if (index >= 0 && index < static_cast<int>(pages.size())) ShowWindow(pages[index], SW_SHOW);
}

void ConfigDialog::refreshPages() {
    graphics_->refresh();
    effects_->refresh();
    misc_->refresh();
    models_->refresh();
    looks_->refresh();
    misc_->repaintColours();
}

void ConfigDialog::collectPages() {
    if (!settings_ || !about_ || !effects_ || !graphics_ || !models_ || !misc_ || !looks_) return;
    effects_->collect();
    misc_->collect();
    models_->collect();
    graphics_->collect();
    looks_->collect();  // last: it names the look the others' settings are
}

bool ConfigDialog::save() {
    const std::string& path = utilitySettingsFile();
    const char* why = nullptr;
    if (fileUnreadable_)
        why = "The settings were not saved: the settings file could not be read when the "
              "utility started, and saving would replace what it holds with the defaults:\n";
    else if (!settings_->writeFile(path, kSettingsSection, KeySet::All))
        why = "The settings could not be saved to:\n";
    if (!why) return true;
    MessageBoxA(window_, (why + path).c_str(), "Error", MB_OK | MB_ICONERROR);
    return false;
}
