// A headless window with a GL context for the render tests, small RGBA8
// canvases to draw into and read back, and test textures.
#pragma once

#include <GL/gl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/render/reference.h"

// Window 64 x 48, so the render targets are 64 x 32 and the shadow maps 32 x 32.
constexpr int testWindowWidth = 64;
constexpr int testWindowHeight = 48;

// Opens the window (once per test program) and runs initGpu in it. Returns
// the debug output initGpu wrote.
const std::string& openGl();

// Runs body with the debug output switched on and returns what went to stderr.
std::string captureDebugOutput(const std::function<void()>& body);

// An RGBA8 framebuffer object of its own size, bound for drawing with its viewport.
struct Canvas {
  GLuint framebuffer = 0;
  GLuint texture = 0;
  int width = 0;
  int height = 0;
};
Canvas makeCanvas(int width, int height);
void bindCanvas(const Canvas& canvas);
void unbindCanvas();
// Binds the window's framebuffer again and deletes the canvas.
void releaseCanvas(Canvas& canvas);
// Pixel (x, y) from the lower left of the bound read framebuffer, 0..1 per channel.
V4 readPixel(int x, int y);
std::vector<uint8_t> readRgba(int x, int y, int width, int height);

// A texture with the picture's texels, wrap GL_REPEAT.
GLuint makeTestTexture(const Image& image, GLint filter);
// Binds texture on unit (through glActiveTextureARB) and leaves unit 0 active.
void bindUnit(int unit, GLuint texture);

// Identity matrices, then one quad over the viewport: positions (-1, -1)..(1, 1)
// at depth z, texture coordinates (0, 0)..(1, 1), the current colour.
void loadIdentityMatrices();
void drawViewportQuad(float z = 0.0f);

void setFragmentEnv(int index, V4 value);
void setVertexEnv(int index, V4 value);

// Channels within tolerance (in 1/255 steps); the message names the pixel.
::testing::AssertionResult pixelNear(const V4& actual, const V4& expected, float toleranceSteps, int x, int y);
