#pragma once
// The settings keys in the order a write stores them.

inline const char* const kSettingsWriteOrder[32] = {
    "vzrVersion", "dimLeft", "dimTop", "dimWidth", "dimHeight", "dimResolution", "tofOnOff",
    "vumOnOff", "vumType", "oscOnOff", "oscRotate", "oscType", "oscSamplingRate",
    "oscRenderingMode", "bgrOnOff", "bgrName", "mdlOnOff", "mdlBeat", "mdlEffectsOnOff",
    "mdlEffectsType", "mdlDynamicTextureOnOff", "mdlColorMap", "mdlName", "camPosition",
    "texBits", "lhtOnOff", "lhtRotate", "lhtStroboscope", "lhtAmbient", "lhtDiffuse",
    "lhtSpecularLeft", "lhtSpecularRight"};
