// Named textures and render targets: every texture the program makes is
// entered under a name, and effects pass pictures to each other only through
// these names. Also the two off-screen framebuffers and the frame's way to
// the window through "screen".
#pragma once

#include <GL/gl.h>

#include <string>

#include "runtime/viewport.h"

struct Texture {
  std::string name;  // compared byte for byte, case-sensitive
  GLuint id = 0;
};

// An off-screen framebuffer with its own colour texture and depth buffer.
struct RenderTarget {
  GLuint framebuffer = 0;
  GLuint colourTexture = 0;  // not in the registry; bound by GL name
  GLuint depthBuffer = 0;
  int width = 0;
  int height = 0;
};

extern RenderTarget hdrTarget;  // 16-bit float colour
extern RenderTarget ldrTarget;  // 8-bit colour

// The first entry with that name, or null.
Texture* findTexture(const std::string& name);

// The entry for name, made if it is new: an existing name returns its entry
// unchanged, whatever the other arguments say. Width 0 means the target size
// (height ignored); otherwise height 0 means square. Without pixels the
// texture starts zeroed (a depth texture starts undefined); with pixels (4
// bytes each) they are uploaded, through the height-to-normal conversion
// when normalMap is set. Wrap GL_REPEAT, filters GL_LINEAR, no mipmaps.
// A size the driver cannot make (negative, or above its largest texture)
// makes nothing: the result is null and the name stays unknown.
Texture* makeTexture(bool normalMap, int width, const std::string& name, int height, const unsigned char* pixels,
                     GLenum format);

// Binds the named texture on the active unit and sets its wrap and filter.
// An unknown name does nothing: the unit keeps what it had.
void setTextureParameters(const std::string& name, GLint wrap, GLint filter);

// Copies the lower-left width x height of the read framebuffer into the
// named texture; width 0 means the target size. Unknown names do nothing.
void copyToTexture(const std::string& name, int width, int height);

// One quad from (-1, -1) to (1, 1) with the named texture; with identity
// matrices it covers the viewport. Unknown names draw nothing.
void drawTextureFullscreen(const std::string& name);

// "screen", "back" (target size), "glow" (256 x 256) and "shadowmap0".."3"
// (targetHeight square, depth).
void createStandardTargets();

// hdrTarget, then ldrTarget. A framebuffer the driver refuses ends the run.
void createOffscreenTargets();

// Deletes every registry texture and empties the registry.
void deleteAllTextures();

// After the effects: resets the matrices, copies the frame into "screen",
// clears the window and draws "screen" in the letterbox viewport.
void presentFrame(int windowWidth, int windowHeight, const Viewport& letterbox);
