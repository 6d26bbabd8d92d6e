#include "glres/GlExtensions.h"

#include <cstring>

#include "glres/GlProcAddress.h"

void GlExtensions::probe() {
    probe(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)), glProcAddress);
}

void GlExtensions::probe(const char* extensions,
                         const std::function<void*(const char*)>& lookup) {
    compiledVertexArrays = 0;
    lockArrays = nullptr;
    unlockArrays = nullptr;
    if (!extensions || !std::strstr(extensions, "GL_EXT_compiled_vertex_array")) return;
    lockArrays = reinterpret_cast<LockArrays>(lookup("glLockArraysEXT"));
    unlockArrays = reinterpret_cast<UnlockArrays>(lookup("glUnlockArraysEXT"));
    if (lockArrays && unlockArrays) {
        compiledVertexArrays = 1;
    } else {
        lockArrays = nullptr;
        unlockArrays = nullptr;
    }
}
