#pragma once
// Works the configuration utility's dialog from outside, as a user's clicks would: the test
// program and the utility are separate processes, so everything goes through window messages
// (texts read with the wide messages, tabs changed with the tab control's own message).

#include <windows.h>

#include <string>
#include <vector>

#include "tests/win32/WineSupport.h"

inline constexpr const char* kUtilityTitle = "Vizorama - Configuration Utility";

// Tab indices of the pages.
enum UtilityPage { kAboutPage, kEffectsPage, kGraphicsPage, kModelsPage, kMiscPage, kLooksPage };

// The utility's main dialog, wherever it came from (null when there is none).
HWND findUtilityDialog();

// Ends every copy of the utility that is still open, so that none outlives its test.
void endAllUtilities();

// Shows page index of the utility's dialog through the tab control and returns the page.
HWND showPage(HWND dialog, int index);
// Presses a button and returns once the click is handled.
void click(HWND parent, int id);
// Presses a button without waiting (for one that opens a window that waits for the user).
void postClick(HWND parent, int id);

// A copy of the utility started from an install tree's configuration folder.
class Utility {
public:
    explicit Utility(const InstallTree& tree);
    ~Utility();  // ends it if it still runs
    Utility(const Utility&) = delete;
    Utility& operator=(const Utility&) = delete;

    HWND dialog() const { return dialog_; }  // null when it did not show
    HWND page(int index) { return showPage(dialog_, index); }
    // Waits for the process to end; its exit code, or STILL_ACTIVE.
    DWORD waitForExit(DWORD timeoutMs);
    // The first window of the utility's process titled title other than the main dialog.
    HWND waitForWindow(const char* title, DWORD timeoutMs) const;
    // Saves the screen with the dialog on it as a BMP file in the screenshot folder.
    bool savePicture(const std::string& name) const;
    // The tab control's labels. (Its items hold pointers, which only mean something inside
    // the utility's process: they are read through memory lent there.)
    std::vector<std::string> tabLabels() const;

private:
    PROCESS_INFORMATION process_ = {};
    HWND dialog_ = nullptr;
};

// Reading and setting controls of a page (or of the dialog).
std::string textOf(HWND window);
std::vector<std::string> childTexts(HWND parent);  // every child window's text
bool isChecked(HWND page, int id);
void setChecked(HWND page, int id, bool checked);  // clicks when it differs
std::vector<std::string> listEntries(HWND page, int id);
std::string listSelection(HWND page, int id);  // "" when nothing is selected
void selectListText(HWND page, int id, const std::string& text);  // and tells the page
std::vector<std::string> dropDownEntries(HWND page, int id);
std::string dropDownSelection(HWND page, int id);
void selectDropDownText(HWND page, int id, const std::string& text);

// Answers a message box titled title: its text, after pressing button ("" when none came
// within timeoutMs).
std::string answerMessageBox(const Utility& utility, DWORD timeoutMs = 5000,
                             const char* title = "Error", int button = IDOK);
