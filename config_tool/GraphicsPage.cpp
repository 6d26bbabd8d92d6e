#include "config_tool/GraphicsPage.h"

#include <string>

#include "config_tool/ConfigIds.h"
#include "config_tool/PageControls.h"
#include "settings/Settings.h"

namespace {

// The three placements: their button and the sizes "Window Size" offers for them.
struct Placement {
    int button;
    choices::NameList sizes;
    int columnWidth;
    int itemHeight;
};
const Placement kPlacements[] = {
    {IDC_MODE_DOCKED, choices::kDockedSizes, 115, 14},
    {IDC_MODE_FULLSCREEN, choices::kFullScreenSizes, 115, 14},
    {IDC_MODE_WINDOWED, choices::kWindowedSizes, 38, 34},
};

// The placement whose sizes include resolution exactly, or null.
const Placement* placementOf(const std::string& resolution) {
    for (const Placement& p : kPlacements)
        if (p.sizes.find(resolution) < p.sizes.count) return &p;
    return nullptr;
}

}  // namespace

bool GraphicsPage::create(HWND parent) {
    window_ = createPage(parent, IDD_GRAPHICS, proc, this);
    return window_ != nullptr;
}

INT_PTR CALLBACK GraphicsPage::proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    GraphicsPage* self = pageOf<GraphicsPage>(page, message, lParam);
    if (self && message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        self->clicked(LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

void GraphicsPage::clicked(int id) {
    if (id == IDC_TEX_16) settings_.texBits = 16;
    if (id == IDC_TEX_32) settings_.texBits = 32;
    for (const Placement& p : kPlacements) {
        if (p.button != id) continue;
        // The record changes when the pages are collected; until then keep its size when
        // this placement offers it.
        HWND sizes = GetDlgItem(window_, IDC_WINDOW_SIZE);
        fillList(sizes, p.sizes, p.columnWidth, p.itemHeight);
        if (!selectListEntry(sizes, settings_, "dimResolution"))
            SendMessageA(sizes, LB_SETCURSEL, 0, 0);
    }
}

void GraphicsPage::refresh() {
    const Settings& s = settings_;
    setCheck(window_, IDC_BGR_ONOFF, s.bgrOnOff);
    if (s.texBits == 16) CheckRadioButton(window_, IDC_TEX_16, IDC_TEX_32, IDC_TEX_16);
    if (s.texBits == 32) CheckRadioButton(window_, IDC_TEX_16, IDC_TEX_32, IDC_TEX_32);

    // A size of none of the placements shows none of them, with an empty list.
    HWND sizes = GetDlgItem(window_, IDC_WINDOW_SIZE);
    const Placement* placement = placementOf(s.dimResolution.text());
    if (placement) {
        fillList(sizes, placement->sizes, placement->columnWidth, placement->itemHeight);
        CheckRadioButton(window_, IDC_MODE_WINDOWED, IDC_MODE_DOCKED, placement->button);
        selectListEntry(sizes, s, "dimResolution");
    } else {
        SendMessageA(sizes, LB_RESETCONTENT, 0, 0);
        for (const Placement& p : kPlacements) CheckDlgButton(window_, p.button, BST_UNCHECKED);
    }

    HWND skyboxes = GetDlgItem(window_, IDC_BGR_LIST);
    fillFolderList(skyboxes, "Skyboxes");
    selectListEntry(skyboxes, s, "bgrName");
}

void GraphicsPage::collect() {
    Settings& s = settings_;
    s.bgrOnOff = checkOf(window_, IDC_BGR_ONOFF);
    collectListEntry(GetDlgItem(window_, IDC_BGR_LIST), s, "bgrName");
    collectListEntry(GetDlgItem(window_, IDC_WINDOW_SIZE), s, "dimResolution");
}
