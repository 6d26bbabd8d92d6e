#pragma once
// The OpenGL context of a window's device context, as the plug-in's render window and the
// Windows program's window both make it: a double-buffered RGBA pixel format with 24 colour and
// 32 depth bits, and a rendering context current on it.

#include <windows.h>

enum class GlContextStep { None, ChoosePixelFormat, SetPixelFormat, MakeCurrent };

// Sets dc's pixel format and makes a new rendering context current on it. format receives the
// description of the format set. failAt, when given, is asked before each step whether to fail
// it on purpose (the plug-in's failure tests). Returns the step that failed, having released
// what it made (dc keeps a pixel format once set), or None with context set.
GlContextStep createGlContext(HDC dc, PIXELFORMATDESCRIPTOR& format, HGLRC& context,
                              bool (*failAt)(GlContextStep) = nullptr);

// The message for a failed step: the failing call and what it means, on two lines.
const char* glContextFailure(GlContextStep step);

// Shows each frame in step with the display (interval 1) or at once (0), where the driver
// offers wglSwapIntervalEXT; false where it does not.
bool setSwapInterval(int interval);
