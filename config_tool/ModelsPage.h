#pragma once
// The "3D Models" page: the model, its beat and extended effects, its colour mapping and its
// live window texture.

#include <windows.h>

class Settings;

class ModelsPage {
public:
    explicit ModelsPage(Settings& settings) : settings_(settings) {}
    bool create(HWND parent);
    HWND window() const { return window_; }
    void refresh();
    void collect();

private:
    Settings& settings_;
    HWND window_ = nullptr;
};
