// The texture registry, the standard and off-screen targets, and the frame's
// way to the window through "screen".
#include <gtest/gtest.h>

#include <csetjmp>
#include <cstring>
#include <string>
#include <vector>

#include "render/gpu.h"
#include "render/height_to_normal.h"
#include "render/targets.h"
#include "render/targets_internal.h"
#include "runtime/fatal.h"
#include "runtime/settings.h"
#include "runtime/viewport.h"
#include "tests/render/gl_fixture.h"

namespace {

struct Size {
  int width, height;
};

Size textureSize(GLuint id) {
  glBindTexture(GL_TEXTURE_2D, id);
  Size size{0, 0};
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &size.width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &size.height);
  return size;
}

std::vector<uint8_t> textureBytes(GLuint id) {
  Size size = textureSize(id);
  std::vector<uint8_t> bytes(static_cast<size_t>(size.width) * size.height * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
  return bytes;
}

// Draws colour over the pixel rectangle (x, y, width, height) of the window.
void fillWindowRect(int x, int y, int width, int height, V4 colour) {
  glViewport(x, y, width, height);
  loadIdentityMatrices();
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_DEPTH_TEST);
  glColor4f(colour.x, colour.y, colour.z, colour.w);
  drawViewportQuad();
  glColor4f(1, 1, 1, 1);
}

TEST(TextureRegistry, MakeTextureAppliesTheSizeRulesAndKeepsExistingNames) {
  openGl();
  struct Case {
    const char* name;
    int width, height;
    Size made;
  };
  const Case cases[] = {
      {"sized", 16, 8, {16, 8}},
      {"target sized", 0, 300, {64, 32}},  // width 0: the target size, height ignored
      {"square", 64, 0, {64, 64}},         // height 0: as wide as high
  };
  for (const Case& c : cases) {
    Texture* texture = makeTexture(false, c.width, c.name, c.height, nullptr, GL_RGBA);
    ASSERT_NE(texture, nullptr) << c.name;
    EXPECT_EQ(texture->name, c.name);
    EXPECT_EQ(findTexture(c.name), texture);
    Size size = textureSize(texture->id);
    EXPECT_EQ(size.width, c.made.width) << c.name;
    EXPECT_EQ(size.height, c.made.height) << c.name;
    std::vector<uint8_t> bytes = textureBytes(texture->id);
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 0), static_cast<long>(bytes.size())) << "starts zeroed";
  }

  // The same name again, with another size and format and pixels: the old texture, untouched.
  Texture* first = findTexture("sized");
  const std::vector<uint8_t> white(32 * 32 * 4, 255);
  EXPECT_EQ(makeTexture(false, 32, "sized", 32, white.data(), GL_DEPTH_COMPONENT), first);
  Size size = textureSize(first->id);
  EXPECT_EQ(size.width, 16);
  EXPECT_EQ(size.height, 8);
  std::vector<uint8_t> bytes = textureBytes(first->id);
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), 0), static_cast<long>(bytes.size()));

  // Names are case-sensitive.
  Texture* other = makeTexture(false, 4, "Sized", 4, nullptr, GL_RGBA);
  ASSERT_NE(other, nullptr);
  EXPECT_NE(other, first);
  EXPECT_NE(other->id, first->id);
  EXPECT_EQ(findTexture("nowhere"), nullptr);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(TextureRegistry, SizesTheDriverCannotMakeLeaveTheNameUnknown) {
  openGl();
  GLint largest = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
  const Size sizes[] = {{-4, 4}, {4, -4}, {largest + 1, 0}, {1 << 30, 1 << 30}};
  for (const Size& s : sizes) {
    EXPECT_EQ(makeTexture(false, s.width, "impossible", s.height, nullptr, GL_RGBA), nullptr)
        << s.width << " x " << s.height;
    EXPECT_EQ(findTexture("impossible"), nullptr);
  }
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(TextureRegistry, PixelsAreUploadedDirectlyOrAsABumpMap) {
  openGl();
  const std::vector<uint8_t> pixels = {10, 20, 30, 40, 200, 100, 50, 255, 0, 0, 0, 0, 255, 255, 255, 128};
  Texture* plain = makeTexture(false, 2, "plain pixels", 2, pixels.data(), GL_RGBA);
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(textureBytes(plain->id), pixels);

  // 2 x 2: no pixel has neighbours on both sides, so both slopes are 0.
  Texture* bump = makeTexture(true, 2, "bump pixels", 2, pixels.data(), GL_RGBA);
  ASSERT_NE(bump, nullptr);
  std::vector<uint8_t> expected(pixels.size());
  heightToNormal(pixels.data(), expected.data(), 2, 2, 4);
  EXPECT_EQ(textureBytes(bump->id), expected);
  EXPECT_EQ(expected[0], 127);
  EXPECT_EQ(expected[1], 127);
  EXPECT_EQ(expected[3], 0);
}

TEST(HeightToNormal, SlopesRoundDownAndEdgesAreFlat) {
  // Luminances 0, 50, 3 in a row and a column (grey pixels).
  auto grey = [](std::initializer_list<int> values) {
    std::vector<uint8_t> bytes;
    for (int v : values) bytes.insert(bytes.end(), {uint8_t(v), uint8_t(v), uint8_t(v)});
    return bytes;
  };
  std::vector<uint8_t> line = grey({0, 50, 3});
  std::vector<uint8_t> out(line.size());

  heightToNormal(line.data(), out.data(), 3, 1, 3);  // one row
  // H = 0, 25, 1; middle dx = floor((0 - 1) / 2) = -1
  EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.end()),
            (std::vector<uint8_t>{127, 127, 255, 126, 127, 205, 127, 127, 252}));

  heightToNormal(line.data(), out.data(), 1, 3, 3);  // one column: dy = floor((H(y + 1) - H(y - 1)) / 2) = 0
  EXPECT_EQ(out[3 + 1], 127);

  std::vector<uint8_t> column = grey({200, 50, 0});  // H = 100, 25, 0: dy = floor(-100 / 2) = -50
  heightToNormal(column.data(), out.data(), 1, 3, 3);
  EXPECT_EQ(out[3 + 0], 127);
  EXPECT_EQ(out[3 + 1], 77);
  EXPECT_EQ(out[3 + 2], 205);
}

TEST(TextureRegistry, OperationsOnUnknownNamesDoNothing) {
  openGl();
  Texture* bound = makeTexture(false, 4, "kept bound", 4, nullptr, GL_RGBA);
  glBindTexture(GL_TEXTURE_2D, bound->id);
  setTextureParameters("unknown", GL_CLAMP, GL_NEAREST);
  GLint binding = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &binding);
  EXPECT_EQ(static_cast<GLuint>(binding), bound->id);
  GLint filter = 0;
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
  EXPECT_EQ(filter, GL_LINEAR);

  fillWindowRect(0, 0, testWindowWidth, testWindowHeight, v4(0.2f, 0.4f, 0.6f, 1));
  copyToTexture("unknown", 0, 0);
  glViewport(0, 0, testWindowWidth, testWindowHeight);
  glEnable(GL_TEXTURE_2D);
  drawTextureFullscreen("unknown");
  glDisable(GL_TEXTURE_2D);
  EXPECT_TRUE(pixelNear(readPixel(20, 20), v4(0.2f, 0.4f, 0.6f, 1), 1, 20, 20)) << "nothing drawn";
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST(TextureRegistry, SetTextureParametersBindsAndSetsWrapAndFilter) {
  openGl();
  Texture* texture = makeTexture(false, 4, "parameters", 4, nullptr, GL_RGBA);
  glBindTexture(GL_TEXTURE_2D, 0);
  setTextureParameters("parameters", GL_CLAMP_TO_EDGE, GL_NEAREST);
  GLint binding = 0, wrapS = 0, wrapT = 0, minFilter = 0, magFilter = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &binding);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
  EXPECT_EQ(static_cast<GLuint>(binding), texture->id);
  EXPECT_EQ(wrapS, GL_CLAMP_TO_EDGE);
  EXPECT_EQ(wrapT, GL_CLAMP_TO_EDGE);
  EXPECT_EQ(minFilter, GL_NEAREST);
  EXPECT_EQ(magFilter, GL_NEAREST);
}

TEST(TextureRegistry, CopyToTextureTakesTheLowerLeftOfTheFrame) {
  openGl();
  Texture* texture = makeTexture(false, 0, "copied", 0, nullptr, GL_RGBA);
  fillWindowRect(0, 0, testWindowWidth, testWindowHeight, v4(0, 0, 1, 1));
  fillWindowRect(0, 0, 8, 4, v4(1, 0, 0, 1));
  copyToTexture("copied", 8, 4);  // only the corner
  std::vector<uint8_t> bytes = textureBytes(texture->id);
  EXPECT_EQ(bytes[0], 255);
  EXPECT_EQ(bytes[(3 * 64 + 7) * 4 + 0], 255) << "last copied pixel";
  EXPECT_EQ(bytes[(3 * 64 + 8) * 4 + 2], 0) << "beyond the copied corner stays zero";

  copyToTexture("copied", 0, 0);  // the whole 64 x 32 target
  bytes = textureBytes(texture->id);
  EXPECT_EQ(bytes[(31 * 64 + 63) * 4 + 2], 255);
  EXPECT_EQ(bytes[(3 * 64 + 8) * 4 + 2], 255);
}

TEST(RenderTargets, StandardTargetsHaveTheirSizesAndFormats) {
  openGl();
  createStandardTargets();
  struct Expected {
    const char* name;
    Size size;
    bool depth;
  };
  const Expected targets[] = {
      {"screen", {64, 32}, false},     {"back", {64, 32}, false},       {"glow", {256, 256}, false},
      {"shadowmap0", {32, 32}, true},  {"shadowmap1", {32, 32}, true},  {"shadowmap2", {32, 32}, true},
      {"shadowmap3", {32, 32}, true},
  };
  for (const Expected& e : targets) {
    Texture* texture = findTexture(e.name);
    ASSERT_NE(texture, nullptr) << e.name;
    Size size = textureSize(texture->id);
    EXPECT_EQ(size.width, e.size.width) << e.name;
    EXPECT_EQ(size.height, e.size.height) << e.name;
    GLint depthBits = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_DEPTH_SIZE, &depthBits);
    EXPECT_EQ(depthBits > 0, e.depth) << e.name;
  }
  EXPECT_EQ(findTexture("shadowmap4"), nullptr);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Draws (2, 0.5, -1, 1) with a fragment program, which can write beyond 0..1.
V4 drawUnclampedColour(const RenderTarget& target) {
  static GLuint vertex = 0, fragment = 0;
  if (!fragment) {
    compileProgram("test position", GL_VERTEX_PROGRAM_ARB,
                   "!!ARBvp1.0MOV result.position, vertex.position;END", &vertex);
    compileProgram("test colour", GL_FRAGMENT_PROGRAM_ARB,
                   "!!ARBfp1.0PARAM c = { 2.0, 0.5, -1.0, 1.0 };MOV result.color, c;END", &fragment);
  }
  gpu.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, target.framebuffer);
  glViewport(0, 0, target.width, target.height);
  glDisable(GL_DEPTH_TEST);
  bindPrograms(vertex, fragment);
  drawViewportQuad();
  unbindPrograms();
  float pixel[4] = {};
  glReadPixels(3, 3, 1, 1, GL_RGBA, GL_FLOAT, pixel);
  gpu.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
  return {pixel[0], pixel[1], pixel[2], pixel[3]};
}

TEST(RenderTargets, OffscreenTargetsAreCompleteAndOnlyTheFirstHoldsHighValues) {
  openGl();
  createOffscreenTargets();
  GLint bound = -1;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &bound);
  EXPECT_EQ(bound, 0) << "the window is bound again";
  for (const RenderTarget* target : {&hdrTarget, &ldrTarget}) {
    EXPECT_NE(target->framebuffer, 0u);
    EXPECT_EQ(target->width, 64);
    EXPECT_EQ(target->height, 32);
    gpu.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, target->framebuffer);
    EXPECT_EQ(gpu.glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE_EXT));
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_GT(depthBits, 0);
    gpu.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    Size size = textureSize(target->colourTexture);
    EXPECT_EQ(size.width, 64);
    EXPECT_EQ(size.height, 32);
    EXPECT_EQ(findTexture("hdrTarget"), nullptr) << "not in the registry";
  }
  V4 high = drawUnclampedColour(hdrTarget);
  EXPECT_FLOAT_EQ(high.x, 2.0f);
  EXPECT_FLOAT_EQ(high.y, 0.5f);
  EXPECT_FLOAT_EQ(high.z, -1.0f);
  V4 low = drawUnclampedColour(ldrTarget);
  EXPECT_FLOAT_EQ(low.x, 1.0f);
  EXPECT_NEAR(low.y, 0.5f, 1.0f / 255);
  EXPECT_FLOAT_EQ(low.z, 0.0f);
}

std::jmp_buf fatalReturn;
std::string fatalText;
int fatalStatus = 0;

TEST(RenderTargets, AnUnsupportedFramebufferEndsTheRunOtherStatusesGoOn) {
  setFatalHandler([](const char* caption, const char* text, int status) {
    fatalText = std::string(caption) + ": " + text;
    fatalStatus = status;
    std::longjmp(fatalReturn, 1);
  });
  struct Case {
    GLenum status;
    bool ends;
  };
  const Case cases[] = {
      {GL_FRAMEBUFFER_COMPLETE_EXT, false},
      {GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT, false},
      {GL_FRAMEBUFFER_UNSUPPORTED_EXT, true},
  };
  for (const Case& c : cases) {
    fatalText.clear();
    testing::internal::CaptureStderr();
    if (setjmp(fatalReturn) == 0) checkFramebufferStatus(c.status, "ldrTarget");
    std::string stderrText = testing::internal::GetCapturedStderr();
    if (c.ends) {
      EXPECT_EQ(fatalText, "ERROR: GL framebuffer format GL_RGBA16f unsupported, sorry. Quit.");
      EXPECT_EQ(fatalStatus, -1);
    } else {
      EXPECT_EQ(fatalText, "");
      EXPECT_EQ(stderrText.find("ldrTarget") != std::string::npos, c.status != GL_FRAMEBUFFER_COMPLETE_EXT)
          << stderrText;
    }
  }
  setFatalHandler(nullptr);
}

// The frame drawn in the 64 x 32 target region reaches the 64 x 48 window
// through "screen", letterboxed to 16:9.
TEST(RenderTargets, TheFrameReachesTheWindowThroughScreen) {
  openGl();
  createStandardTargets();
  fillWindowRect(0, 0, testWindowWidth, testWindowHeight, v4(0.5f, 0.5f, 0.5f, 1));
  const V4 lowerLeft = v4(1, 0, 0, 1), lowerRight = v4(0, 0, 1, 1), upperLeft = v4(0, 1, 0, 1),
           upperRight = v4(1, 1, 1, 1);
  fillWindowRect(0, 0, 32, 16, lowerLeft);
  fillWindowRect(32, 0, 32, 16, lowerRight);
  fillWindowRect(0, 16, 32, 16, upperLeft);
  fillWindowRect(32, 16, 32, 16, upperRight);
  glEnable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
  glColor4f(0.1f, 0.1f, 0.1f, 0.1f);

  // About rows 6 to 41; single precision puts K just below 12.
  Viewport letterbox = letterboxViewport(testWindowWidth, testWindowHeight, 64.0f / 48.0f, contentAspect);
  presentFrame(testWindowWidth, testWindowHeight, letterbox);
  const int lowerRow = letterbox.y + letterbox.height / 4, upperRow = letterbox.y + letterbox.height * 3 / 4;

  struct Probe {
    int x, y;
    V4 colour;
  };
  const Probe probes[] = {
      {16, lowerRow, lowerLeft}, {48, lowerRow, lowerRight}, {16, upperRow, upperLeft}, {48, upperRow, upperRight},
      {16, letterbox.y - 2, v4(0, 0, 0, 1)},                     // below the letterbox: cleared
      {48, letterbox.y + letterbox.height + 1, v4(0, 0, 0, 1)},  // above it
  };
  for (const Probe& p : probes) {
    V4 pixel = readPixel(p.x, p.y);
    pixel.w = 1;  // the window has no alpha
    EXPECT_TRUE(pixelNear(pixel, p.colour, 1, p.x, p.y));
  }
  // "screen" keeps the frame, the grey outside the target region left out.
  std::vector<uint8_t> screen = textureBytes(findTexture("screen")->id);
  EXPECT_EQ(screen[0], 255);
  EXPECT_EQ(screen[(31 * 64 + 63) * 4 + 1], 255);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
}

TEST(RenderTargets, DeleteAllTexturesEmptiesTheRegistry) {
  openGl();
  createStandardTargets();
  GLuint screen = findTexture("screen")->id;
  GLuint shadow = findTexture("shadowmap3")->id;
  deleteAllTextures();
  EXPECT_EQ(findTexture("screen"), nullptr);
  EXPECT_EQ(findTexture("shadowmap3"), nullptr);
  EXPECT_FALSE(glIsTexture(screen));
  EXPECT_FALSE(glIsTexture(shadow));
}

}  // namespace
