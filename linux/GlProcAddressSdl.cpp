#include <SDL.h>

#include "glres/GlProcAddress.h"

// The window's context comes from SDL, which knows the window system's lookup (GLX or EGL).
void* glProcAddress(const char* name) { return SDL_GL_GetProcAddress(name); }
