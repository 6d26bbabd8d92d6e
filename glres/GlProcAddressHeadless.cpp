#include "glres/GlProcAddress.h"

#include <GL/osmesa.h>

void* glProcAddress(const char* name) {
    return reinterpret_cast<void*>(OSMesaGetProcAddress(name));
}
