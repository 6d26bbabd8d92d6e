#include "glres/GlProcAddress.h"

#include <windows.h>

void* glProcAddress(const char* name) {
    return reinterpret_cast<void*>(wglGetProcAddress(name));
}
