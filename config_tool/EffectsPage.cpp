#include "config_tool/EffectsPage.h"

#include "config_tool/ConfigIds.h"
#include "config_tool/PageControls.h"
#include "settings/Settings.h"

bool EffectsPage::create(HWND parent) {
    window_ = createPage(parent, IDD_EFFECTS, plainPageProc, this);
    if (!window_) return false;
    fillDropDown(GetDlgItem(window_, IDC_OSC_TYPE), "oscType");
    fillDropDown(GetDlgItem(window_, IDC_OSC_RENDERING_MODE), "oscRenderingMode");
    fillDropDown(GetDlgItem(window_, IDC_VUM_TYPE), "vumType");
    return true;
}

void EffectsPage::refresh() {
    const Settings& s = settings_;
    // The plug-in takes only 1 as on for the pulsars' switches.
    setCheck(window_, IDC_PULSAR_ONOFF, s.lhtOnOff == 1);
    setCheck(window_, IDC_PULSAR_ROTATE, s.lhtRotate == 1);
    setCheck(window_, IDC_OSC_ONOFF, s.oscOnOff);
    setCheck(window_, IDC_OSC_ROTATE, s.oscRotate);
    selectDropDownEntry(GetDlgItem(window_, IDC_OSC_TYPE), s, "oscType");
    selectDropDownEntry(GetDlgItem(window_, IDC_OSC_RENDERING_MODE), s, "oscRenderingMode");
    HWND rates = GetDlgItem(window_, IDC_OSC_SAMPLING_RATE);
    fillList(rates, "oscSamplingRate", 29, 15);
    selectListEntry(rates, s, "oscSamplingRate");
    setCheck(window_, IDC_VUM_ONOFF, s.vumOnOff);
    selectDropDownEntry(GetDlgItem(window_, IDC_VUM_TYPE), s, "vumType");
    setCheck(window_, IDC_TOF_ONOFF, s.tofOnOff);
}

void EffectsPage::collect() {
    Settings& s = settings_;
    s.lhtOnOff = checkOf(window_, IDC_PULSAR_ONOFF);
    s.lhtRotate = checkOf(window_, IDC_PULSAR_ROTATE);
    s.oscOnOff = checkOf(window_, IDC_OSC_ONOFF);
    s.oscRotate = checkOf(window_, IDC_OSC_ROTATE);
    collectDropDownEntry(GetDlgItem(window_, IDC_OSC_TYPE), s, "oscType");
    collectListEntry(GetDlgItem(window_, IDC_OSC_SAMPLING_RATE), s, "oscSamplingRate");
    collectDropDownEntry(GetDlgItem(window_, IDC_OSC_RENDERING_MODE), s, "oscRenderingMode");
    s.vumOnOff = checkOf(window_, IDC_VUM_ONOFF);
    collectDropDownEntry(GetDlgItem(window_, IDC_VUM_TYPE), s, "vumType");
    s.tofOnOff = checkOf(window_, IDC_TOF_ONOFF);
}
