#pragma once
// The "Graphics" page: the skybox background, the texture depth and the render window's
// placement. Texture depth changes go into the record at once; a placement button fills the
// "Window Size" list with that placement's sizes.

#include <windows.h>

class Settings;

class GraphicsPage {
public:
    explicit GraphicsPage(Settings& settings) : settings_(settings) {}
    bool create(HWND parent);
    HWND window() const { return window_; }
    void refresh();
    void collect();

private:
    static INT_PTR CALLBACK proc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
    void clicked(int id);

    Settings& settings_;
    HWND window_ = nullptr;
};
