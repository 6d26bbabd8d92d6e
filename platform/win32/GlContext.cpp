#include "platform/win32/GlContext.h"

GlContextStep createGlContext(HDC dc, PIXELFORMATDESCRIPTOR& format, HGLRC& context,
                              bool (*failAt)(GlContextStep)) {
    auto fails = [&](GlContextStep step) { return failAt && failAt(step); };
    context = nullptr;
    format = PIXELFORMATDESCRIPTOR{};
    format.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 24;
    format.cDepthBits = 32;
    const int index = fails(GlContextStep::ChoosePixelFormat) ? 0 : ChoosePixelFormat(dc, &format);
    if (!index) return GlContextStep::ChoosePixelFormat;
    if (fails(GlContextStep::SetPixelFormat) || !SetPixelFormat(dc, index, &format))
        return GlContextStep::SetPixelFormat;
    DescribePixelFormat(dc, index, sizeof format, &format);
    context = wglCreateContext(dc);
    if (fails(GlContextStep::MakeCurrent) || !context || !wglMakeCurrent(dc, context)) {
        if (context) wglDeleteContext(context);
        context = nullptr;
        return GlContextStep::MakeCurrent;
    }
    return GlContextStep::None;
}

const char* glContextFailure(GlContextStep step) {
    switch (step) {
        case GlContextStep::ChoosePixelFormat:
            return "ChoosePixelFormat() failed!\nCan't find a suitable pixel format.";
        case GlContextStep::SetPixelFormat:
            return "SetPixelFormat() failed!\nCan't set format specified.";
        case GlContextStep::MakeCurrent:
            return "wglMakeCurrent() failed!\nCan't make a specified OpenGL rendering context.";
        case GlContextStep::None:
            break;
    }
    return "";
}

bool setSwapInterval(int interval) {
    using SwapInterval = BOOL(WINAPI*)(int);
    const auto proc = reinterpret_cast<SwapInterval>(
        reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")));
    return proc && proc(interval);
}
