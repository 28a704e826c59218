#include "tests/render/gl_fixture.h"

#include <GL/glext.h>

#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"
#include "render/gpu.h"
#include "runtime/settings.h"

std::string captureDebugOutput(const std::function<void()>& body) {
  setenv("QUORIN_DEBUG", "1", 1);
  testing::internal::CaptureStderr();
  body();
  std::string output = testing::internal::GetCapturedStderr();
  unsetenv("QUORIN_DEBUG");
  return output;
}

const std::string& openGl() {
  static std::string transcript;
  static bool open = false;
  if (open) return transcript;
  open = true;
  settings.width = testWindowWidth;
  settings.height = testWindowHeight;
  targetWidth = 64;
  targetHeight = 32;
  platform::WindowRequest request{testWindowWidth, testWindowHeight, false, false, "render test"};
  if (platform::openWindow(request) != platform::WindowResult::ok) {
    std::fprintf(stderr, "no GL context for the render tests\n");
    std::abort();
  }
  transcript = captureDebugOutput([] { initGpu(); });
  return transcript;
}

Canvas makeCanvas(int width, int height) {
  Canvas canvas;
  canvas.width = width;
  canvas.height = height;
  GLint bound = 0;  // the caller's texture on unit 0 stays bound
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  glGenTextures(1, &canvas.texture);
  glBindTexture(GL_TEXTURE_2D, canvas.texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
  gpu.glGenFramebuffersEXT(1, &canvas.framebuffer);
  gpu.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, canvas.framebuffer);
  gpu.glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, canvas.texture, 0);
  bindCanvas(canvas);
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT);
  return canvas;
}

void bindCanvas(const Canvas& canvas) {
  gpu.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, canvas.framebuffer);
  glViewport(0, 0, canvas.width, canvas.height);
}

void unbindCanvas() { gpu.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0); }

void releaseCanvas(Canvas& canvas) {
  unbindCanvas();
  static auto deleteFramebuffers =
      reinterpret_cast<PFNGLDELETEFRAMEBUFFERSEXTPROC>(platform::glProcAddress("glDeleteFramebuffersEXT"));
  deleteFramebuffers(1, &canvas.framebuffer);
  glDeleteTextures(1, &canvas.texture);
  canvas = Canvas{};
}

std::vector<uint8_t> readRgba(int x, int y, int width, int height) {
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  return pixels;
}

V4 readPixel(int x, int y) {
  std::vector<uint8_t> p = readRgba(x, y, 1, 1);
  return {p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, p[3] / 255.0f};
}

GLuint makeTestTexture(const Image& image, GLint filter) {
  GLuint id = 0;
  glGenTextures(1, &id);
  glBindTexture(GL_TEXTURE_2D, id);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, image.width, image.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               image.rgba.data());
  return id;
}

void bindUnit(int unit, GLuint texture) {
  gpu.glActiveTextureARB(static_cast<GLenum>(GL_TEXTURE0_ARB + unit));
  glBindTexture(GL_TEXTURE_2D, texture);
  gpu.glActiveTextureARB(GL_TEXTURE0_ARB);
}

void loadIdentityMatrices() {
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void drawViewportQuad(float z) {
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex3f(-1, -1, z);
  glTexCoord2f(1, 0);
  glVertex3f(1, -1, z);
  glTexCoord2f(1, 1);
  glVertex3f(1, 1, z);
  glTexCoord2f(0, 1);
  glVertex3f(-1, 1, z);
  glEnd();
}

void setFragmentEnv(int index, V4 value) {
  const float v[4] = {value.x, value.y, value.z, value.w};
  gpu.glProgramEnvParameter4fvARB(GL_FRAGMENT_PROGRAM_ARB, static_cast<GLuint>(index), v);
}

void setVertexEnv(int index, V4 value) {
  const float v[4] = {value.x, value.y, value.z, value.w};
  gpu.glProgramEnvParameter4fvARB(GL_VERTEX_PROGRAM_ARB, static_cast<GLuint>(index), v);
}

testing::AssertionResult pixelNear(const V4& actual, const V4& expected, float toleranceSteps, int x, int y) {
  const float a[4] = {actual.x, actual.y, actual.z, actual.w};
  const float e[4] = {expected.x, expected.y, expected.z, expected.w};
  for (int i = 0; i < 4; ++i) {
    if (std::fabs(a[i] - e[i]) * 255.0f > toleranceSteps) {
      return testing::AssertionFailure() << "pixel (" << x << ", " << y << ") channel " << "rgba"[i] << ": got "
                                         << a[i] * 255.0f << "/255, expected " << e[i] * 255.0f << "/255 (got "
                                         << actual.x << " " << actual.y << " " << actual.z << " " << actual.w
                                         << ", expected " << expected.x << " " << expected.y << " " << expected.z
                                         << " " << expected.w << ")";
    }
  }
  return testing::AssertionSuccess();
}
