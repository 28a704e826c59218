// Pieces of the GPU start-up that tests reach directly.
#pragma once

#include <string>

#include "render/gpu.h"

using ProcLookup = void* (*)(const char* name);

// True when name is one of the space-separated words of extensions.
bool hasExtension(const char* extensions, const char* name);

// Checks the required extensions against the extension string, then fetches
// every entry point into state through lookup. Returns what is missing
// ("OpenGL extension GL_...", "OpenGL entry point gl..."), or "" when all is there.
std::string loadEntryPoints(GpuState& state, const char* extensions, ProcLookup lookup);

// Compiles the 22 programs into gpu, in the order of the pair list.
void compileAllPrograms();
