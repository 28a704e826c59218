// The camera, camera-facing sprites and the shadow-map passes.
#include <gtest/gtest.h>

#include <GL/glu.h>

#include <cmath>

#include "render/camera.h"
#include "render/gpu.h"
#include "render/targets.h"
#include "runtime/settings.h"
#include "script/script.h"
#include "tests/render/gl_fixture.h"

namespace {

Vector3 transformed(const float m[16], Vector3 p) {
  return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12], m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
          m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

void expectNear(Vector3 actual, Vector3 expected, const char* what) {
  EXPECT_NEAR(actual.x, expected.x, 1e-5f) << what;
  EXPECT_NEAR(actual.y, expected.y, 1e-5f) << what;
  EXPECT_NEAR(actual.z, expected.z, 1e-5f) << what;
}

class CameraTest : public testing::Test {
 protected:
  void SetUp() override {
    openGl();
    camera = CameraState{};
  }
};

TEST_F(CameraTest, AppliesPositionLookAtZoomAndProjection) {
  struct Case {
    const char* what;
    Vector3 position, lookAt;
    float zoom;
    Vector3 worldPoint, eyePoint;
  };
  const Case cases[] = {
      {"initial: from (0, 0, 1) at the origin", {0, 0, 1}, {0, 0, 0}, 0, {0.5f, 0.25f, 0}, {0.5f, 0.25f, -1}},
      {"zoom -2 moves the eye back to (0, 0, 3)", {0, 0, 1}, {0, 0, 0}, -2, {0, 0, 0}, {0, 0, -3}},
      {"zoom 0.5 moves it half way in", {0, 0, 1}, {0, 0, 0}, 0.5f, {0, 0, 0}, {0, 0, -0.5f}},
      {"looking along +X from (0, 0, 0)", {0, 0, 0}, {4, 0, 0}, 0, {2, 0, 1}, {1, 0, -2}},
      {"a look-at point on the eye looks down -Z", {1, 2, 3}, {1, 2, 3}, 5, {1, 2, 0}, {0, 0, -3}},
  };
  for (const Case& c : cases) {
    camera.position = c.position;
    camera.lookAt = c.lookAt;
    camera.zoom = c.zoom;
    applyCamera();
    expectNear(transformed(camera.matrix, c.worldPoint), c.eyePoint, c.what);
    float current[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, current);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(current[i], camera.matrix[i]) << c.what << ": left current";
    for (float v : camera.matrix) EXPECT_TRUE(std::isfinite(v)) << c.what;
  }
  // normalised look-at minus position; zero when they coincide
  expectNear(camera.direction, {0, 0, 0}, "direction");
  camera.position = {0, 0, 0};
  camera.lookAt = {0, 3, 4};
  applyCamera();
  expectNear(camera.direction, {0, 0.6f, 0.8f}, "direction");

  // 60 degrees, 16:9 whatever the window, near 0.01, far 1000
  float projection[16];
  glGetFloatv(GL_PROJECTION_MATRIX, projection);
  const float f = 1.0f / std::tan(30.0f * 3.14159265f / 180.0f);
  EXPECT_NEAR(projection[0], f / (16.0f / 9.0f), 1e-4f);
  EXPECT_NEAR(projection[5], f, 1e-4f);
  EXPECT_NEAR(projection[10], -(1000.0f + 0.01f) / (1000.0f - 0.01f), 1e-5f);
  EXPECT_NEAR(projection[14], -2 * 1000.0f * 0.01f / (1000.0f - 0.01f), 1e-5f);
}

// rpy turns the view itself (applied before the look-at), lookAtRpy turns
// the world about its origin; each triple is Z, then X, then Y.
TEST_F(CameraTest, RotationsGoOnEitherSideOfTheLookAt) {
  camera.rpy = {90, 0, 0};
  applyCamera();
  expectNear(transformed(camera.matrix, {1, 0, 0}), {0, 1, -1}, "rpy about Z after the look-at's translation");

  camera = CameraState{};
  camera.lookAtRpy = {0, 90, 0};
  applyCamera();
  expectNear(transformed(camera.matrix, {0, 1, 0}), {0, 0, 0}, "lookAtRpy about X before the view");

  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  rotateRpy({90, 90, 0});
  float m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  expectNear(transformed(m, {1, 0, 0}), {0, 1, 0}, "Z outermost");
  expectNear(transformed(m, {0, 1, 0}), {0, 0, 1}, "then X");
  glLoadIdentity();
  rotateRpy({0, 0, 90});
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  expectNear(transformed(m, {1, 0, 0}), {0, 0, -1}, "Y");
}

TEST_F(CameraTest, EyeSpaceTakesTranslationOnlyForPoints) {
  camera.position = {0, 0, 5};
  applyCamera();
  Vector4 point = eyeSpace({1, 2, 0, 1});
  Vector4 direction = eyeSpace({1, 2, 0, 0});
  EXPECT_FLOAT_EQ(point.z, -5);
  EXPECT_FLOAT_EQ(direction.z, 0);
  EXPECT_FLOAT_EQ(direction.x, 1);
  EXPECT_FLOAT_EQ(point.w, 0);
}

TEST_F(CameraTest, ResetMatricesLeavesIdentitiesAndTheModelviewCurrent) {
  for (GLenum mode : {GL_TEXTURE, GL_PROJECTION, GL_MODELVIEW}) {
    glMatrixMode(mode);
    glLoadIdentity();
    glTranslatef(1, 2, 3);
  }
  glMatrixMode(GL_PROJECTION);
  resetMatrices();
  for (GLenum query : {GL_TEXTURE_MATRIX, GL_PROJECTION_MATRIX, GL_MODELVIEW_MATRIX}) {
    float m[16];
    glGetFloatv(query, m);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(m[i], i % 5 == 0 ? 1.0f : 0.0f);
  }
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
}

// The camera block of a script, with "setCamera" as given.
void declareCameraBlock(ScriptContext& script, int32_t setCamera) {
  script.effectName = "camera.qfx";
  declareInt(script, "setCamera", 1, &setCamera);
  const float position[4] = {0, 0, 4, 7};  // a vec4 gives its first three
  declareVec4(script, "cameraPos", 1, position);
  const float lookAt[3] = {0, 1, 0};
  declareVec3(script, "cameraLookAt", 1, lookAt);
  const float rpy[3] = {10, 20, 30};
  declareVec3(script, "cameraRPY", 1, rpy);
  const float lookAtRpy[3] = {40, 50, 60};
  declareVec3(script, "cameraLookAtRPY", 1, lookAtRpy);
  const float zoom = -1.5f;
  declareFloat(script, "cameraZoom", 1, &zoom);
}

TEST_F(CameraTest, ReadCameraBlockReadsTheScriptOnlyWhenAsked) {
  ScriptContext off;
  declareCameraBlock(off, 0);
  readCameraBlock(off);
  expectNear(camera.position, {0, 0, 1}, "kept");
  expectNear(transformed(camera.matrix, {0, 0, 0}), {0, 0, -1}, "applied all the same");

  ScriptContext on;
  declareCameraBlock(on, 1);
  readCameraBlock(on);
  expectNear(camera.position, {0, 0, 4}, "position");
  expectNear(camera.lookAt, {0, 1, 0}, "look-at");
  expectNear(camera.rpy, {10, 20, 30}, "rpy");
  expectNear(camera.lookAtRpy, {40, 50, 60}, "look-at rpy");
  EXPECT_FLOAT_EQ(camera.zoom, -1.5f);
  expectNear(camera.direction, {0, 1 / std::sqrt(17.0f), -4 / std::sqrt(17.0f)}, "applied");
}

// The window framebuffer, which has depth: 64 x 48 with an orthographic view.
void prepareWindow() {
  unbindCanvas();
  glViewport(0, 0, testWindowWidth, testWindowHeight);
  glClearColor(0, 0, 0, 0);
  glClearDepth(1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-1, 1, -1, 1, -10, 10);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_BLEND);
}

bool lit(int x, int y) { return readPixel(x, y).x > 0.5f; }

TEST_F(CameraTest, SpritesFaceTheScreenAndIgnoreTheModelviewScale) {
  prepareWindow();
  // Top row red, bottom row green: texture coordinate t = 0 is at the sprite's top.
  Image picture{1, 2, {255, 0, 0, 255, 0, 255, 0, 255}};
  GLuint texture = makeTestTexture(picture, GL_NEAREST);
  glBindTexture(GL_TEXTURE_2D, texture);
  glScalef(2, 2, 2);
  glRotatef(30, 0, 1, 0);

  beginSprites();
  EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
  glBlendFunc(GL_ONE, GL_ZERO);
  // Seen at (0.5 cos 30, 0) after the turn and the scale of 2; 0.25 x 0.25 in half size.
  drawSprite({0.25f, 0, 0}, 0.25f, 0.25f, {1, 1, 1}, 0, 1);
  drawSprite({-0.25f, 0, 0}, 0.25f, 0.25f, {1, 1, 1}, 0, 0.005f);  // below the alpha test
  endSprites();

  const float centre = 0.5f * std::cos(30.0f * 3.14159265f / 180.0f);  // ndc x
  const int left = static_cast<int>((centre - 0.25f + 1) * 32), right = static_cast<int>((centre + 0.25f + 1) * 32);
  EXPECT_TRUE(lit(left + 1, 27)) << "red top";
  EXPECT_EQ(readPixel(left + 1, 20).y, 1.0f) << "green bottom";
  EXPECT_TRUE(lit(right - 1, 27));
  EXPECT_FALSE(lit(left - 2, 27)) << "no wider than its own size";
  EXPECT_FALSE(lit(right + 2, 27));
  EXPECT_FALSE(lit(24, 24)) << "the faint sprite fails the alpha test";

  EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
  EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
  GLboolean depthWrites = GL_FALSE;
  glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
  EXPECT_TRUE(depthWrites);
  float m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  EXPECT_NEAR(m[0], 2 * std::cos(30.0f * 3.14159265f / 180.0f), 1e-5f) << "modelview popped";
  glDeleteTextures(1, &texture);
}

TEST_F(CameraTest, SpriteAngleTurnsItInTheScreenPlaneAndColourModulates) {
  prepareWindow();
  Image white = uniformImage(v4(1, 1, 1, 1));
  GLuint texture = makeTestTexture(white, GL_NEAREST);
  glBindTexture(GL_TEXTURE_2D, texture);
  beginSprites();
  glBlendFunc(GL_ONE, GL_ZERO);
  drawSprite({0, 0, 0}, 0.5f, 0.1f, {1, 0.5f, 0.25f}, 90, 1);  // wide, turned upright
  endSprites();
  EXPECT_TRUE(pixelNear(readPixel(32, 24 + 8), v4(1, 0.5f, 0.25f, 1), 1, 32, 32)) << "upright";
  EXPECT_FALSE(lit(32 + 8, 24)) << "no longer wide";
  glDeleteTextures(1, &texture);
}

// An occluder over the left half casts its shadow on a receiver behind it;
// the right half is lit.
TEST_F(CameraTest, AShadowPassShadowsWhatLiesBehindTheCasters) {
  createStandardTargets();
  prepareWindow();
  auto loadLightView = [] {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1, 1, -1, 1, 1, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0, 0, -5);
  };
  auto quad = [](float x0, float x1, float z) {
    glBegin(GL_QUADS);
    glVertex3f(x0, -1, z);
    glVertex3f(x1, -1, z);
    glVertex3f(x1, 1, z);
    glVertex3f(x0, 1, z);
    glEnd();
  };

  loadLightView();
  beginShadowPass(0);
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 32);
  EXPECT_EQ(viewport[3], 32);
  quad(-1, 0, 1);  // the caster over the left half, facing the light
  // A back face over the next quarter is culled and casts nothing.
  glBegin(GL_QUADS);
  glVertex3f(0, -1, 2);
  glVertex3f(0, 1, 2);
  glVertex3f(0.5f, 1, 2);
  glVertex3f(0.5f, -1, 2);
  glEnd();
  endShadowPass(0);

  glGetIntegerv(GL_VIEWPORT, viewport);
  EXPECT_EQ(viewport[2], 64);
  EXPECT_EQ(viewport[3], 32);
  float m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  EXPECT_EQ(m[14], -5.0f) << "the light's modelview is back";
  GLboolean mask[4];
  glGetBooleanv(GL_COLOR_WRITEMASK, mask);
  EXPECT_TRUE(mask[3]);
  EXPECT_FALSE(glIsEnabled(GL_CULL_FACE));
  EXPECT_FALSE(glIsEnabled(GL_POLYGON_OFFSET_FILL));

  // The lighting pass, seen from the light; the map's comparison gives 1 where lit.
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  loadLightView();
  gpu.glActiveTextureARB(GL_TEXTURE0_ARB);
  bindShadowMap(0, 0);
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glColor4f(1, 1, 1, 1);
  glDisable(GL_DEPTH_TEST);
  quad(-1, 1, 0);  // the receiver
  glDisable(GL_TEXTURE_2D);
  releaseShadowMaps();
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_Q));

  EXPECT_FALSE(lit(10, 16)) << "behind the caster";
  EXPECT_TRUE(lit(40, 16)) << "under the culled back face";
  EXPECT_TRUE(lit(60, 16)) << "in the open";
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
