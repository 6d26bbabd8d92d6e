// Tells whether this Wine can draw with OpenGL: asks for the pixel format the plug-in asks for
// on a hidden window, makes a context current and prints the renderer. The test scripts run it
// before the Wine tests, so that a Wine without the GL libraries of its architecture fails once,
// at once, instead of in every test that starts the plug-in.
// Exit status 0 with "gl: RENDERER (VERSION)", or 1 with "gl: STEP failed".
#include <windows.h>

#include <GL/gl.h>

#include <cstdio>

namespace {
int fail(const char* step) {
    std::printf("gl: %s failed\n", step);
    return 1;
}
}  // namespace

int main() {
    WNDCLASSA wc = {};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VzrmGlProbe";
    if (!RegisterClassA(&wc)) return fail("RegisterClass");
    HWND window = CreateWindowExA(0, wc.lpszClassName, "probe", WS_POPUP, 0, 0, 16, 16, nullptr,
                                  nullptr, wc.hInstance, nullptr);
    if (!window) return fail("CreateWindow");
    HDC dc = GetDC(window);

    PIXELFORMATDESCRIPTOR pfd = {};
    pfd.nSize = sizeof pfd;
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 24;
    pfd.cDepthBits = 32;
    int format = ChoosePixelFormat(dc, &pfd);
    if (!format) return fail("ChoosePixelFormat");
    if (!SetPixelFormat(dc, format, &pfd)) return fail("SetPixelFormat");
    HGLRC context = wglCreateContext(dc);
    if (!context || !wglMakeCurrent(dc, context)) return fail("wglMakeCurrent");

    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    std::printf("gl: %s (%s)\n", renderer ? renderer : "?", version ? version : "?");
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(context);
    ReleaseDC(window, dc);
    DestroyWindow(window);
    return renderer ? 0 : fail("glGetString");
}
