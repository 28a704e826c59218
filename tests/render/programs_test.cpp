// The GPU programs against CPU references of their formulas: each draws a
// quad into a small canvas, the pixels are read back and compared.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "render/gpu.h"
#include "render/gpu_internal.h"
#include "tests/render/gl_fixture.h"
#include "tests/render/reference.h"

namespace {

const char* const programNames[] = {
    "phong vertex program", "phong fragment program",
    "phong with specular map vertex program", "phong with specular map fragment program",
    "blend multiply vertex program", "blend multiply fragment program",
    "blend screen vertex program", "blend screen fragment program",
    "blend add vertex program", "blend add fragment program",
    "blend sub vertex program", "blend sub fragment program",
    "bump height vertex program", "bump height fragment program",
    "motion vector vertex program", "motion vector fragment program",
    "motion blur vertex program", "motion blur fragment program",
    "limit vertex program", "limit fragment program",
    "exponential sum vertex program", "exponential sum fragment program",
};

TEST(GpuPrograms, AllTwentyTwoCompileInOrderWithoutAnErrorPosition) {
  std::string expected;
  for (const char* name : programNames) {
    expected += std::string("START compiling ") + name + "\nno error\nno error\nno error\nEND compiling " + name + "\n";
  }
  EXPECT_EQ(openGl(), expected);

  const ProgramPair* pairs[] = {&gpu.phong, &gpu.phongSpecularMap, &gpu.blendMultiply, &gpu.blendScreen,
                                &gpu.blendAdd, &gpu.blendSub, &gpu.bumpHeight, &gpu.motionVector,
                                &gpu.motionBlur, &gpu.limit, &gpu.exponentialSum};
  std::vector<GLuint> ids;
  for (const ProgramPair* pair : pairs) {
    ids.push_back(pair->vertex);
    ids.push_back(pair->fragment);
  }
  std::sort(ids.begin(), ids.end());
  EXPECT_EQ(std::adjacent_find(ids.begin(), ids.end()), ids.end()) << "every pair compiles its own programs";
  EXPECT_NE(ids.front(), 0u);
}

// The driver's error position leads the load step's line, followed by at
// most 20 characters of the text from there; stderr names the program too.
TEST(GpuPrograms, AFailedCompileReportsItsPositionOnBothOutputs) {
  openGl();
  const char* const brokenTexts[] = {
      // plenty of text after the error
      "!!ARBfp1.0MOV result.color, fragment.color;BOGUS r0, r1;MOV result.color, fragment.color;END",
      // an error near the end: fewer than 20 characters remain
      "!!ARBfp1.0MOV result.color, fragment.color;MOV result.color, undefinedTemp;END",
  };
  for (const char* text : brokenTexts) {
    SCOPED_TRACE(text);
    GLuint valid = 0;
    compileProgram("valid", GL_FRAGMENT_PROGRAM_ARB, "!!ARBfp1.0MOV result.color, fragment.color;END", &valid);
    GLuint id = 0;
    std::string output =
        captureDebugOutput([&] { compileProgram("broken test program", GL_FRAGMENT_PROGRAM_ARB, text, &id); });
    GLint position = -1;
    glGetIntegerv(GL_PROGRAM_ERROR_POSITION_ARB, &position);
    ASSERT_GT(position, 0);
    ASSERT_LT(static_cast<size_t>(position), std::strlen(text));
    std::string at = std::string(text).substr(static_cast<size_t>(position), 20);
    std::string expected = "START compiling broken test program\nno error\nno error\ninvalid operation, pos " +
                           std::to_string(position) + ": " + at + "\nEND compiling broken test program\n";
    EXPECT_EQ(output.substr(0, expected.size()), expected);
    EXPECT_NE(output.find("GPU program \"broken test program\" does not compile, error position " +
                          std::to_string(position)),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("at: " + at + "\n"), std::string::npos) << output;
    EXPECT_NE(id, 0u) << "the failed program keeps its name";
  }
}

// Not all drivers refuse unknown names, so the extension string decides.
TEST(GpuPrograms, AMissingExtensionOrEntryPointIsNamed) {
  const std::string all = "GL_ARB_vertex_program GL_ARB_fragment_program GL_ARB_multitexture GL_EXT_framebuffer_object";
  static const char* refused = nullptr;
  static int dummy;
  ProcLookup lookup = [](const char* name) -> void* {
    return refused && std::strcmp(name, refused) == 0 ? nullptr : static_cast<void*>(&dummy);
  };
  struct Case {
    std::string extensions;
    const char* refusedName;
    std::string missing;
  };
  const Case cases[] = {
      {all, nullptr, ""},
      {"GL_ARB_vertex_program GL_ARB_multitexture GL_EXT_framebuffer_object", nullptr,
       "OpenGL extension GL_ARB_fragment_program"},
      // a longer name that starts with a required one does not count
      {"GL_ARB_vertex_program2 GL_ARB_fragment_program GL_ARB_multitexture GL_EXT_framebuffer_object", nullptr,
       "OpenGL extension GL_ARB_vertex_program"},
      {"", nullptr, "OpenGL extension GL_ARB_vertex_program"},
      {all, "glCheckFramebufferStatusEXT", "OpenGL entry point glCheckFramebufferStatusEXT"},
      {all, "glProgramEnvParameter4fvARB", "OpenGL entry point glProgramEnvParameter4fvARB"},
  };
  for (const Case& c : cases) {
    refused = c.refusedName;
    GpuState state;
    EXPECT_EQ(loadEntryPoints(state, c.extensions.c_str(), lookup), c.missing) << c.extensions;
  }
  refused = nullptr;
  EXPECT_FALSE(hasExtension(nullptr, "GL_ARB_multitexture"));
}

TEST(GpuPrograms, ResetPhongParametersKeepsTheLastTwoShadingValues) {
  gpu.phongShading[2] = 0.25f;
  gpu.phongShading[3] = 0.75f;
  gpu.phongSpecular[0] = 9.0f;
  gpu.phongSurface[3] = 9.0f;
  resetPhongParameters();
  const float specular[4] = {1.5f, 1.4f, 1.1f, 1.0f};
  const float shading[4] = {4.0f, 0.995f, 0.25f, 0.75f};
  const float surface[4] = {2.0f, 0.15f, 0.01f, 0.0f};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(gpu.phongSpecular[i], specular[i]);
    EXPECT_EQ(gpu.phongShading[i], shading[i]);
    EXPECT_EQ(gpu.phongSurface[i], surface[i]);
  }
}

TEST(GpuPrograms, BindAndUnbindSwitchBothTargets) {
  openGl();
  bindPrograms(gpu.limit);
  EXPECT_TRUE(glIsEnabled(GL_VERTEX_PROGRAM_ARB));
  EXPECT_TRUE(glIsEnabled(GL_FRAGMENT_PROGRAM_ARB));
  unbindPrograms();
  EXPECT_FALSE(glIsEnabled(GL_VERTEX_PROGRAM_ARB));
  EXPECT_FALSE(glIsEnabled(GL_FRAGMENT_PROGRAM_ARB));
}

// Draws the viewport quad with pair into a fresh canvas and compares every
// pixel with reference(x, y).
void expectProgramOutput(const ProgramPair& pair, int width, int height, const std::function<V4(int, int)>& reference,
                         float tolerance = 2.0f) {
  Canvas canvas = makeCanvas(width, height);
  loadIdentityMatrices();
  bindPrograms(pair);
  drawViewportQuad();
  unbindPrograms();
  std::vector<uint8_t> pixels = readRgba(0, 0, width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint8_t* p = &pixels[(static_cast<size_t>(y) * width + x) * 4];
      V4 actual{p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, p[3] / 255.0f};
      ASSERT_TRUE(pixelNear(actual, sat(reference(x, y)), tolerance, x, y));
    }
  }
  releaseCanvas(canvas);
}

struct BlendCase {
  const char* mode;
  const ProgramPair* pair;
  V4 (*formula)(V4 a, V4 b, V4 c);
};

V4 withAlphaOne(V4 v) { return {v.x, v.y, v.z, 1.0f}; }

const BlendCase blendCases[] = {
    // a * (b * c * o + 1 - o)
    {"multiply", &gpu.blendMultiply,
     [](V4 a, V4 b, V4 c) { return withAlphaOne(a) * (b * c * c.w + splat(1 - c.w)); }},
    // 1 - (1 - a) * ((1 - b) * c * o + 1 - o)
    {"screen", &gpu.blendScreen,
     [](V4 a, V4 b, V4 c) {
       return splat(1) - withAlphaOne(splat(1) - a) * ((splat(1) - b) * c * c.w + splat(1 - c.w));
     }},
    // a + b * c * o
    {"add", &gpu.blendAdd, [](V4 a, V4 b, V4 c) { return withAlphaOne(a) + b * c * c.w; }},
    // a - b * c * o
    {"sub", &gpu.blendSub, [](V4 a, V4 b, V4 c) { return withAlphaOne(a) - b * c * c.w; }},
};

TEST(GpuPrograms, BlendModesMatchTheirFormulas) {
  openGl();
  struct Colours {
    V4 under, layer, colour;
  };
  const Colours colourSets[] = {
      {v4(0.8f, 0.5f, 0.2f, 0.3f), v4(0.4f, 0.9f, 0.6f, 0.7f), v4(1.0f, 1.0f, 1.0f, 1.0f)},
      {v4(0.8f, 0.5f, 0.2f, 0.3f), v4(0.4f, 0.9f, 0.6f, 0.7f), v4(0.9f, 0.6f, 0.3f, 0.5f)},
      {v4(0.1f, 0.95f, 0.45f, 1.0f), v4(0.7f, 0.2f, 0.35f, 0.1f), v4(0.5f, 1.0f, 0.8f, 0.25f)},
  };
  for (const BlendCase& blend : blendCases) {
    for (const Colours& set : colourSets) {
      SCOPED_TRACE(blend.mode);
      GLuint under = makeTestTexture(uniformImage(set.under), GL_NEAREST);
      GLuint layer = makeTestTexture(uniformImage(set.layer), GL_NEAREST);
      bindUnit(0, under);
      bindUnit(1, layer);
      glColor4f(set.colour.x, set.colour.y, set.colour.z, set.colour.w);
      V4 expected = blend.formula(quantized(set.under), quantized(set.layer), set.colour);
      expectProgramOutput(*blend.pair, 4, 4, [&](int, int) { return expected; });
      glDeleteTextures(1, &under);
      glDeleteTextures(1, &layer);
    }
  }
  glColor4f(1, 1, 1, 1);
}

// Screen, add and sub take x and y of the clip position as they are (depth 0,
// w 1); multiply divides by w. Under a perspective with w = 2 the quad covers
// the whole canvas for the first three and only its middle for multiply.
TEST(GpuPrograms, OnlyMultiplyKeepsThePerspectiveDivision) {
  openGl();
  // Every mode gives at least 0.75 here, against the cleared 0.
  GLuint white = makeTestTexture(uniformImage(v4(1, 1, 1, 1)), GL_NEAREST);
  GLuint grey = makeTestTexture(uniformImage(v4(0.5f, 0.5f, 0.5f, 1)), GL_NEAREST);
  for (const BlendCase& blend : blendCases) {
    SCOPED_TRACE(blend.mode);
    bool divided = blend.pair == &gpu.blendMultiply;
    bindUnit(0, white);
    bindUnit(1, grey);
    glColor4f(1, 1, 1, 0.5f);
    Canvas canvas = makeCanvas(8, 8);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-1, 1, -1, 1, 1, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0, 0, -2);
    bindPrograms(*blend.pair);
    drawViewportQuad();
    unbindPrograms();
    EXPECT_EQ(readPixel(0, 0).x > 0.5f, !divided) << "corner";
    EXPECT_GT(readPixel(4, 4).x, 0.5f) << "middle";
    releaseCanvas(canvas);
  }
  glColor4f(1, 1, 1, 1);
  glDeleteTextures(1, &white);
  glDeleteTextures(1, &grey);
}

TEST(GpuPrograms, LimitKeepsTheBrightPart) {
  openGl();
  struct Case {
    V4 texel;
    V4 params;  // threshold, gain, exponent
  };
  const Case cases[] = {
      {v4(0.9f, 0.7f, 0.4f, 1.0f), v4(0.3f, 1.5f, 1.0f, 0)},
      {v4(0.9f, 0.7f, 0.4f, 1.0f), v4(0.5f, 3.0f, 2.5f, 0)},
      {v4(0.2f, 0.25f, 0.1f, 0.5f), v4(0.3f, 2.0f, 0.5f, 0)},  // below the threshold: black
      {v4(1.0f, 1.0f, 1.0f, 1.0f), v4(0.0f, 0.8f, 4.0f, 0)},
  };
  const V4 weights = v4(0.3f, 0.59f, 0.11f, 0);
  for (const Case& c : cases) {
    GLuint picture = makeTestTexture(uniformImage(c.texel), GL_NEAREST);
    bindUnit(0, picture);
    setFragmentEnv(0, c.params);
    setFragmentEnv(1, weights);
    V4 t = quantized(c.texel);
    // sat(sat(t - threshold) * gain) * lum ^ exponent
    V4 expected = sat(sat(t - splat(c.params.x)) * c.params.y) * std::pow(dot3(t, weights), c.params.z);
    expectProgramOutput(gpu.limit, 4, 4, [&](int, int) { return expected; });
    glDeleteTextures(1, &picture);
  }
}

TEST(GpuPrograms, ExponentialSumAddsTwoShapedPictures) {
  openGl();
  struct Case {
    V4 t, u;
    V4 exponents, gains;
  };
  const Case cases[] = {
      {v4(0.6f, 0.5f, 0.4f, 1.0f), v4(0.2f, 0.3f, 0.9f, 0.5f), v4(1.0f, 1.0f, 0, 0), v4(1.0f, 1.0f, 0, 0)},
      {v4(0.6f, 0.5f, 0.4f, 1.0f), v4(0.2f, 0.3f, 0.9f, 0.5f), v4(2.0f, 0.5f, 0, 0), v4(1.5f, 0.7f, 0, 0)},
      {v4(0.9f, 0.9f, 0.8f, 1.0f), v4(0.7f, 0.8f, 0.9f, 1.0f), v4(0.3f, 3.0f, 0, 0), v4(2.0f, 2.0f, 0, 0)},
  };
  const V4 weights = v4(0.3f, 0.59f, 0.11f, 0);
  for (const Case& c : cases) {
    GLuint first = makeTestTexture(uniformImage(c.t), GL_NEAREST);
    GLuint second = makeTestTexture(uniformImage(c.u), GL_NEAREST);
    bindUnit(0, first);
    bindUnit(1, second);
    setFragmentEnv(0, c.exponents);
    setFragmentEnv(1, weights);
    setFragmentEnv(2, c.gains);
    V4 t = quantized(c.t), u = quantized(c.u);
    V4 shapedT = sat(sat(t * c.gains.x) * std::pow(dot3(t, weights), c.exponents.x));
    V4 shapedU = sat(sat(u * c.gains.y) * std::pow(dot3(u, weights), c.exponents.y));
    V4 expected = sat(shapedT + shapedU);
    expectProgramOutput(gpu.exponentialSum, 4, 4, [&](int, int) { return expected; });
    glDeleteTextures(1, &first);
    glDeleteTextures(1, &second);
  }
}

TEST(GpuPrograms, BumpHeightTurnsHeightsIntoSlopes) {
  openGl();
  const int size = 8;
  Image heights = makeImage(size, size, [](int x, int y) {
    return v4(((x * 37 + y * 11) % 23) / 22.0f, ((x * 5 + y * 29) % 17) / 16.0f, ((x + y * 3) % 7) / 6.0f, 0.5f);
  });
  GLuint picture = makeTestTexture(heights, GL_NEAREST);
  bindUnit(0, picture);
  const V4 weights = v4(0.5f, 0.3f, 0.2f, 0.9f);
  setFragmentEnv(0, v4(1.0f / size, 1.0f / size, 0, 0));
  setFragmentEnv(1, weights);
  auto h = [&](int x, int y) { return dot3(heights.texel(x, y), weights); };
  expectProgramOutput(gpu.bumpHeight, size, size, [&](int x, int y) {
    return v4(0.5f + 0.5f * (h(x - 1, y) - h(x + 1, y)), 0.5f + 0.5f * (h(x, y - 1) - h(x, y + 1)), h(x, y), 0.0f);
  });
  glDeleteTextures(1, &picture);
}

TEST(GpuPrograms, MotionVectorWritesTheNormalAsColour) {
  openGl();
  glNormal3f(0.25f, 0.5f, 0.75f);
  expectProgramOutput(gpu.motionVector, 4, 4, [](int, int) { return v4(0.25f, 0.5f, 0.75f, 1.0f); });
  glNormal3f(0, 0, 1);
}

// The mean of 16 samples along the longer of two velocity pictures; on a tie
// the first one wins.
TEST(GpuPrograms, MotionBlurFollowsTheLongerVelocity) {
  openGl();
  const int size = 16;
  Image picture = makeImage(size, size, [](int x, int y) {
    return v4(x / 15.0f, y / 15.0f, ((x * 7 + y * 3) % 16) / 15.0f, 1.0f);
  });
  GLuint pictureTexture = makeTestTexture(picture, GL_NEAREST);
  // A byte of 191 decodes to +127/255; 127 to -1/255 (next to zero).
  const V4 along = v4(191 / 255.0f, 127 / 255.0f, 127 / 255.0f, 1);
  const V4 across = v4(127 / 255.0f, 191 / 255.0f, 127 / 255.0f, 1);
  const V4 still = v4(127 / 255.0f, 127 / 255.0f, 127 / 255.0f, 1);
  struct Case {
    const char* name;
    V4 first, second;
  };
  const Case cases[] = {
      {"first longer", along, still},
      {"second longer", still, across},
      {"tie takes the first", along, across},
  };
  // Steps of one texel along the velocity.
  const float offset = 0.0f, step = (1.0f / size) / (127.0f / 255.0f);
  setFragmentEnv(0, v4(offset, step, 0, 0));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Image first = uniformImage(c.first), second = uniformImage(c.second);
    GLuint firstTexture = makeTestTexture(first, GL_NEAREST);
    GLuint secondTexture = makeTestTexture(second, GL_NEAREST);
    bindUnit(0, pictureTexture);
    bindUnit(1, firstTexture);
    bindUnit(2, secondTexture);
    V4 va = 2.0f * (first.texel(0, 0) - splat(0.5f));
    V4 vb = 2.0f * (second.texel(0, 0) - splat(0.5f));
    V4 v = dot3(va, va) - dot3(vb, vb) < 0 ? vb : va;
    expectProgramOutput(gpu.motionBlur, size, size, [&](int x, int y) {
      V4 sum;
      for (int i = 0; i < 16; ++i) {
        float k = offset + i * step;
        sum = sum + 0.0625f * picture.nearest((x + 0.5f) / size + v.x * k, (y + 0.5f) / size + v.y * k);
      }
      return sum;
    });
    glDeleteTextures(1, &firstTexture);
    glDeleteTextures(1, &secondTexture);
  }
  glDeleteTextures(1, &pictureTexture);
}

}  // namespace
