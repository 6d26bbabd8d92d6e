#pragma once
// The utility's main dialog: the banner, a tab control with the six pages, and "OK",
// "Cancel", "Apply" and "Reset". It keeps one settings record, read once from the settings file
// beside the program, fills the pages from it and writes it back on "Apply" and "OK": every key,
// the look's name and how looks change included, so that the look keys and the name the file
// ends with always belong together.

#include <windows.h>

#include <array>
#include <memory>

#include "config_tool/AboutPage.h"
#include "config_tool/EffectsPage.h"
#include "config_tool/GraphicsPage.h"
#include "config_tool/LooksPage.h"
#include "config_tool/MiscPage.h"
#include "config_tool/ModelsPage.h"
#include "settings/Settings.h"

inline constexpr const char* kUtilityTitle = "Vizorama - Configuration Utility";
// The settings file beside the utility's own executable, and its section.
inline constexpr const char* kUtilitySettingsFile = "vis_vzrm_config.ini";

class ConfigDialog {
public:
    // Shows the dialog and returns when it is closed.
    void run();

private:
    static INT_PTR CALLBACK proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
    void initialise();
    // The pages' windows in the order of their tabs.
    std::array<HWND, 6> pageWindows() const;
    void showPage(int index);
    void refreshPages();
    void collectPages();
    // Writes the record; tells the user and returns false when the file was not written.
    bool save();

    HWND window_ = nullptr;
    HWND tabs_ = nullptr;
    std::unique_ptr<Settings> settings_;
    std::unique_ptr<AboutPage> about_;
    std::unique_ptr<EffectsPage> effects_;
    std::unique_ptr<GraphicsPage> graphics_;
    std::unique_ptr<ModelsPage> models_;
    std::unique_ptr<MiscPage> misc_;
    std::unique_ptr<LooksPage> looks_;
    // The file existed but could not be read: the pages show defaults, which must never
    // replace what the file holds.
    bool fileUnreadable_ = false;
};
