#include "config_tool/EffectsPage.h"

#include "config_tool/ConfigIds.h"
#include "config_tool/PageControls.h"
#include "settings/Settings.h"

namespace {

const char* const kTypes[] = {"Waveform", "No Filter", "Sine Filter", "Cosine Filter"};
const char* const kRenderingModes[] = {"Plain",     "Striped", "Checked",  "Water",
                                       "Explosion", "Smoke",   "Wireframe"};
const char* const kSamplingRates[] = {"1x1", "2x1", "3x1", "4x1", "1x2", "2x2", "3x2", "4x2",
                                      "1x3", "2x3", "3x3", "4x3", "1x4", "2x4", "3x4", "4x4"};
const char* const kVuMeterTypes[] = {"Single Fixed Point", "Double Fixed Point", "Beam"};

}  // namespace

bool EffectsPage::create(HWND parent) {
    window_ = createPage(parent, IDD_EFFECTS, plainPageProc, this);
    if (!window_) return false;
    fillDropDown(GetDlgItem(window_, IDC_OSC_TYPE), kTypes);
    fillDropDown(GetDlgItem(window_, IDC_OSC_RENDERING_MODE), kRenderingModes);
    fillDropDown(GetDlgItem(window_, IDC_VUM_TYPE), kVuMeterTypes);
    return true;
}

void EffectsPage::refresh() {
    const Settings& s = settings_;
    // The plug-in takes only 1 as on for the pulsars' switches.
    setCheck(window_, IDC_PULSAR_ONOFF, s.lhtOnOff == 1);
    setCheck(window_, IDC_PULSAR_ROTATE, s.lhtRotate == 1);
    setCheck(window_, IDC_OSC_ONOFF, s.oscOnOff);
    setCheck(window_, IDC_OSC_ROTATE, s.oscRotate);
    selectDropDownEntry(GetDlgItem(window_, IDC_OSC_TYPE), s.oscType);
    selectDropDownEntry(GetDlgItem(window_, IDC_OSC_RENDERING_MODE), s.oscRenderingMode);
    HWND rates = GetDlgItem(window_, IDC_OSC_SAMPLING_RATE);
    fillList(rates, kSamplingRates, 29, 15);
    selectListEntry(rates, s.oscSamplingRate);
    setCheck(window_, IDC_VUM_ONOFF, s.vumOnOff);
    selectDropDownEntry(GetDlgItem(window_, IDC_VUM_TYPE), s.vumType);
    setCheck(window_, IDC_TOF_ONOFF, s.tofOnOff);
}

void EffectsPage::collect() {
    Settings& s = settings_;
    s.lhtOnOff = checkOf(window_, IDC_PULSAR_ONOFF);
    s.lhtRotate = checkOf(window_, IDC_PULSAR_ROTATE);
    s.oscOnOff = checkOf(window_, IDC_OSC_ONOFF);
    s.oscRotate = checkOf(window_, IDC_OSC_ROTATE);
    collectDropDownEntry(GetDlgItem(window_, IDC_OSC_TYPE), s.oscType);
    collectListEntry(GetDlgItem(window_, IDC_OSC_SAMPLING_RATE), s.oscSamplingRate);
    collectDropDownEntry(GetDlgItem(window_, IDC_OSC_RENDERING_MODE), s.oscRenderingMode);
    s.vumOnOff = checkOf(window_, IDC_VUM_ONOFF);
    collectDropDownEntry(GetDlgItem(window_, IDC_VUM_TYPE), s.vumType);
    s.tofOnOff = checkOf(window_, IDC_TOF_ONOFF);
}
