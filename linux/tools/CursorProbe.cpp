// Prints whether the X display's cursor is visible where the pointer is now: "shown WxH" when
// its image has a pixel that is not fully transparent, "hidden" when none is (a program that
// hides its cursor gives its windows an empty one). Screenshots leave the cursor out, so the
// tests ask the server (XFixes) instead. Exit code 1 when the display cannot tell.
//   vzrm_cursor_probe

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <cstdio>

int main() {
    Display* display = XOpenDisplay(nullptr);
    int event = 0, error = 0;
    if (!display || !XFixesQueryExtension(display, &event, &error)) {
        std::fprintf(stderr, "vzrm_cursor_probe: no X display with XFixes\n");
        return 1;
    }
    XFixesCursorImage* image = XFixesGetCursorImage(display);
    if (!image) {
        std::fprintf(stderr, "vzrm_cursor_probe: no cursor image\n");
        XCloseDisplay(display);
        return 1;
    }
    // Each pixel is ARGB in an unsigned long, alpha in bits 24 to 31.
    bool visible = false;
    for (int i = 0; i < image->width * image->height && !visible; ++i)
        visible = ((image->pixels[i] >> 24) & 0xff) != 0;
    if (visible) std::printf("shown %dx%d\n", image->width, image->height);
    else std::printf("hidden\n");
    XFree(image);
    XCloseDisplay(display);
    return 0;
}
