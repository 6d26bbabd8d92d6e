#pragma once
// The "Looks" page: our looks and the user's own (marked "(mine)"), the one chosen, and how the
// look changes by itself (when, how many seconds, in what order).
//
// "Use" puts the selected look's keys and its name into the record and shows them on every page,
// so the utility shows what will be on screen; like any page's change it reaches the settings
// file, and so the running plug-in, on "Apply" or "OK". "Save current as..." and "Delete" act on
// the look files when clicked, as users expect of a file: Cancel does not undo them. The current
// settings a look is saved from are what the pages show, edits not yet applied included, since
// that is what the user sees and means.

#include <windows.h>

#include <functional>
#include <string>
#include <utility>

#include "readers/LookLibrary.h"

class Settings;

class LooksPage {
public:
    // collectPages stores every page's controls in the record (this page's last); refreshPages
    // shows the record on every page (this one included).
    LooksPage(Settings& settings, std::function<void()> collectPages,
              std::function<void()> refreshPages)
        : settings_(settings),
          collectPages_(std::move(collectPages)),
          refreshPages_(std::move(refreshPages)) {}
    bool create(HWND parent);
    HWND window() const { return window_; }
    void refresh();
    // Called after the other pages: the change controls, and lookName made true to the record
    // (the listed look whose keys it holds, the one it names first; else empty: the user's own).
    void collect();

private:
    static INT_PTR CALLBACK proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
    bool command(int id, int code);
    // Reads both folders again and fills the list, selecting the look named select.
    void listLooks(const std::string& select);
    size_t selected() const;  // the selected look's position in the library, or npos
    void showChosen();
    void enableButtons();
    void use();
    void saveCurrent();
    bool acceptName(HWND dialog, const std::string& name);
    void deleteSelected();
    HWND owner() const { return GetAncestor(window_, GA_ROOT); }

    Settings& settings_;
    std::function<void()> collectPages_, refreshPages_;
    LookLibrary library_;
    HWND window_ = nullptr;
};
