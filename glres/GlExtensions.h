#pragma once
// Which optional OpenGL features this context offers: compiled vertex arrays, with which the
// oscilloscope locks its arrays while drawing them.

#include <cstdint>
#include <functional>

#include "platform/GlHeaders.h"

#ifndef APIENTRY
#define APIENTRY
#endif

class GlExtensions {
public:
    using LockArrays = void(APIENTRY*)(GLint first, GLsizei count);
    using UnlockArrays = void(APIENTRY*)();

    uint8_t compiledVertexArrays = 0;
    LockArrays lockArrays = nullptr;
    UnlockArrays unlockArrays = nullptr;

    // Looks at the current context's extension string.
    void probe();

    // The same for a given extension string and function lookup.
    void probe(const char* extensions, const std::function<void*(const char*)>& lookup);
};
