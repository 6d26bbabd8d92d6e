#pragma once
// The "Effects" page: the oscilloscope, the VU meter, the tail of feathers and the pulsars.

#include <windows.h>

class Settings;

class EffectsPage {
public:
    explicit EffectsPage(Settings& settings) : settings_(settings) {}
    bool create(HWND parent);
    HWND window() const { return window_; }
    void refresh();
    void collect();

private:
    Settings& settings_;
    HWND window_ = nullptr;
};
