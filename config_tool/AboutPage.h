#pragma once
// The "About" page: the product's name, version and picture, and where to read more.

#include <windows.h>

class AboutPage {
public:
    ~AboutPage();
    bool create(HWND parent);
    HWND window() const { return window_; }

private:
    static INT_PTR CALLBACK proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    HFONT nameFont_ = nullptr;  // the product's name, larger than the page's text
};
