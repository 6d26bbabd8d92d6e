#pragma once
// The "Misc" page: the four light colours, the camera motion and the stroboscope. A colour
// picked for a light goes into the record at once.

#include <windows.h>

class Settings;

class MiscPage {
public:
    explicit MiscPage(Settings& settings) : settings_(settings) {}
    bool create(HWND parent);
    HWND window() const { return window_; }
    void refresh();
    void collect();
    void repaintColours();

private:
    static INT_PTR CALLBACK proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
    void pickColour(int button);
    bool drawColour(const DRAWITEMSTRUCT& item);

    Settings& settings_;
    HWND window_ = nullptr;
    COLORREF customColours_[16] = {};  // the picker's own row of colours, kept for this run
};
