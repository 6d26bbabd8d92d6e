#pragma once

// The entry point of an OpenGL extension function in the current context, or null.
void* glProcAddress(const char* name);
