// Connects the script's texture, textureMake and material statements to the
// loaders of the render code.
#pragma once

// Fills the script's resource hooks. needGl, when given, is called before a
// hook first touches OpenGL, for tools that make their context only when a
// script needs one; the engine's context exists already.
void installResourceLoaders(void (*needGl)() = nullptr);
