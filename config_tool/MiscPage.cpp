#include "config_tool/MiscPage.h"

#include <commctrl.h>
#include <commdlg.h>

#include "config_tool/ConfigIds.h"
#include "config_tool/PageControls.h"
#include "settings/Settings.h"

namespace {

// Each colour button and the light it shows: the packed file value and its working triple.
struct LightColour {
    int button;
    uint32_t Settings::*packed;
    Rgb Settings::*rgb;
};
const LightColour kLightColours[] = {
    {IDC_AMBIENT, &Settings::lhtAmbient, &Settings::ambientRgb},
    {IDC_DIFFUSE, &Settings::lhtDiffuse, &Settings::diffuseRgb},
    {IDC_SPECULAR_LEFT, &Settings::lhtSpecularLeft, &Settings::specularLeftRgb},
    {IDC_SPECULAR_RIGHT, &Settings::lhtSpecularRight, &Settings::specularRightRgb},
};

const LightColour* lightOf(int button) {
    for (const LightColour& light : kLightColours)
        if (light.button == button) return &light;
    return nullptr;
}

// The triple as a platform colour: each part times 255, truncated, red in the low byte.
COLORREF colourOf(const Rgb& rgb) { return packColour(rgb.r, rgb.g, rgb.b); }

}  // namespace

bool MiscPage::create(HWND parent) {
    window_ = createPage(parent, IDD_MISC, proc, this);
    if (!window_) return false;
    fillDropDown(GetDlgItem(window_, IDC_CAMERA), "camPosition");
    return true;
}

INT_PTR CALLBACK MiscPage::proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    MiscPage* self = pageOf<MiscPage>(page, message, lParam);
    if (!self) return FALSE;
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && lightOf(LOWORD(wParam))) {
        self->pickColour(LOWORD(wParam));
        return TRUE;
    }
    if (message == WM_DRAWITEM)
        return self->drawColour(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    return FALSE;
}

void MiscPage::refresh() {
    selectDropDownEntry(GetDlgItem(window_, IDC_CAMERA), settings_, "camPosition");
    HWND slider = GetDlgItem(window_, IDC_STROBOSCOPE);
    SendMessageA(slider, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
    SendMessageA(slider, TBM_SETPOS, TRUE, static_cast<LPARAM>(settings_.lhtStroboscope));
}

void MiscPage::collect() {
    collectDropDownEntry(GetDlgItem(window_, IDC_CAMERA), settings_, "camPosition");
    LRESULT position = SendDlgItemMessageA(window_, IDC_STROBOSCOPE, TBM_GETPOS, 0, 0);
    settings_.lhtStroboscope = static_cast<uint32_t>(position < 0 ? 0 : position);
}

void MiscPage::repaintColours() {
    for (const LightColour& light : kLightColours)
        InvalidateRect(GetDlgItem(window_, light.button), nullptr, TRUE);
}

void MiscPage::pickColour(int button) {
    const LightColour* light = lightOf(button);
    CHOOSECOLORA choose = {};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = GetAncestor(window_, GA_ROOT);
    choose.rgbResult = colourOf(settings_.*(light->rgb));
    choose.lpCustColors = customColours_;
    choose.Flags = CC_FULLOPEN | CC_RGBINIT;
    if (!ChooseColorA(&choose)) return;  // cancelled
    settings_.*(light->packed) = choose.rgbResult & 0xFFFFFF;
    settings_.*(light->rgb) = unpackColour(settings_.*(light->packed));
    InvalidateRect(GetDlgItem(window_, button), nullptr, TRUE);
}

bool MiscPage::drawColour(const DRAWITEMSTRUCT& item) {
    const LightColour* light = lightOf(static_cast<int>(item.CtlID));
    if (!light) return false;
    HBRUSH fill = CreateSolidBrush(colourOf(settings_.*(light->rgb)));
    FillRect(item.hDC, &item.rcItem, fill);
    DeleteObject(fill);
    FrameRect(item.hDC, &item.rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (item.itemState & ODS_FOCUS) {  // for keyboard users, inside the border
        RECT inner = item.rcItem;
        InflateRect(&inner, -3, -3);
        DrawFocusRect(item.hDC, &inner);
    }
    return true;
}
