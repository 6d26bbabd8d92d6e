#include "config_tool/ModelsPage.h"

#include "config_tool/ConfigIds.h"
#include "config_tool/PageControls.h"
#include "settings/Settings.h"

bool ModelsPage::create(HWND parent) {
    window_ = createPage(parent, IDD_MODELS, plainPageProc, this);
    if (!window_) return false;
    fillDropDown(GetDlgItem(window_, IDC_MDL_EFFECTS_TYPE), "mdlEffectsType");
    return true;
}

void ModelsPage::refresh() {
    const Settings& s = settings_;
    setCheck(window_, IDC_MDL_ONOFF, s.mdlOnOff);
    setCheck(window_, IDC_MDL_BEAT, s.mdlBeat);
    setCheck(window_, IDC_MDL_EFFECTS_ONOFF, s.mdlEffectsOnOff);
    selectDropDownEntry(GetDlgItem(window_, IDC_MDL_EFFECTS_TYPE), s, "mdlEffectsType");
    setCheck(window_, IDC_MDL_DYNAMIC_TEXTURE, s.mdlDynamicTextureOnOff);
    HWND colourMap = GetDlgItem(window_, IDC_MDL_COLOR_MAP);
    fillList(colourMap, "mdlColorMap", 38, 14);
    selectListEntry(colourMap, s, "mdlColorMap");
    HWND models = GetDlgItem(window_, IDC_MDL_LIST);
    fillFolderList(models, "Models");
    selectListEntry(models, s, "mdlName");
}

void ModelsPage::collect() {
    Settings& s = settings_;
    s.mdlOnOff = checkOf(window_, IDC_MDL_ONOFF);
    s.mdlBeat = checkOf(window_, IDC_MDL_BEAT);
    s.mdlEffectsOnOff = checkOf(window_, IDC_MDL_EFFECTS_ONOFF);
    collectDropDownEntry(GetDlgItem(window_, IDC_MDL_EFFECTS_TYPE), s, "mdlEffectsType");
    s.mdlDynamicTextureOnOff = checkOf(window_, IDC_MDL_DYNAMIC_TEXTURE);
    collectListEntry(GetDlgItem(window_, IDC_MDL_COLOR_MAP), s, "mdlColorMap");
    collectListEntry(GetDlgItem(window_, IDC_MDL_LIST), s, "mdlName");
}
