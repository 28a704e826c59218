// Pieces of the render targets that tests reach directly.
#pragma once

#include <GL/gl.h>

// The start-up check of one off-screen framebuffer's status: an unsupported
// format ends the run with the format message; any other incomplete status
// is told on stderr and the run goes on.
void checkFramebufferStatus(GLenum status, const char* targetName);
