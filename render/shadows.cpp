#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>
#include <string>

#include "render/camera.h"
#include "render/gpu.h"
#include "render/targets.h"
#include "runtime/settings.h"

namespace {

constexpr int shadowMapCount = 4;

struct ShadowState {
  float lightProjection[shadowMapCount][16] = {};
  float lightModelview[shadowMapCount][16] = {};
  int shadowUnitCount = -1;  // the highest unit bindShadowMap gave coordinate generation to
};

ShadowState shadows;

bool validMap(int index) { return index >= 0 && index < shadowMapCount; }

std::string mapName(int index) {
  char name[16];
  std::snprintf(name, sizeof name, "shadowmap%d", index);
  return name;
}

}  // namespace

void beginShadowPass(int index) {
  if (!validMap(index)) return;
  glGetFloatv(GL_PROJECTION_MATRIX, shadows.lightProjection[index]);
  glGetFloatv(GL_MODELVIEW_MATRIX, shadows.lightModelview[index]);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glViewport(0, 0, targetHeight, targetHeight);
  glClearDepth(1.0);
  glClear(GL_DEPTH_BUFFER_BIT);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
  glEnable(GL_POLYGON_OFFSET_FILL);
  glPolygonOffset(1.0f, 0.0f);
}

void endShadowPass(int index) {
  if (!validMap(index)) return;
  const std::string name = mapName(index);
  setTextureParameters(name, GL_REPEAT, GL_LINEAR);
  copyToTexture(name, targetHeight, targetHeight);  // depth values, for a depth texture
  glClear(GL_DEPTH_BUFFER_BIT);
  glCullFace(GL_FRONT);
  glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
  glDisable(GL_POLYGON_OFFSET_FILL);
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glDisable(GL_CULL_FACE);
  glViewport(0, 0, targetWidth, targetHeight);
  glDepthFunc(GL_LEQUAL);
}

void bindShadowMap(int index, int lastUnit) {
  if (!validMap(index)) return;
  // T = B x lightProjection x lightModelview, B taking -1..1 to 0..1.
  const float bias[16] = {0.5f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 0.5f, 0, 0.5f, 0.5f, 0.5f, 1.0f};
  float lightView[16], texture[16];
  multiplyMatrices(shadows.lightProjection[index], shadows.lightModelview[index], lightView);
  multiplyMatrices(bias, lightView, texture);

  setTextureParameters(mapName(index), GL_REPEAT, GL_LINEAR);
  shadows.shadowUnitCount = lastUnit;
  const GLenum coordinates[4] = {GL_Q, GL_R, GL_T, GL_S};
  const GLenum generation[4] = {GL_TEXTURE_GEN_Q, GL_TEXTURE_GEN_R, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_S};
  for (int unit = lastUnit; unit >= 0; --unit) {
    gpu.glActiveTextureARB(static_cast<GLenum>(GL_TEXTURE0_ARB + unit));
    for (int i = 0; i < 4; ++i) {
      Vector4 row = matrixRow(texture, 3 - i);
      const float plane[4] = {row.x, row.y, row.z, row.w};
      glTexGeni(coordinates[i], GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
      glTexGenfv(coordinates[i], GL_EYE_PLANE, plane);  // taken relative to the current modelview
      glEnable(generation[i]);
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
  }
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE_ARB, GL_COMPARE_R_TO_TEXTURE_ARB);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC_ARB, GL_LESS);
  glTexParameteri(GL_TEXTURE_2D, GL_DEPTH_TEXTURE_MODE_ARB, GL_INTENSITY);
}

void releaseShadowMaps() {
  for (int unit = shadows.shadowUnitCount; unit >= 0; --unit) {
    gpu.glActiveTextureARB(static_cast<GLenum>(GL_TEXTURE0_ARB + unit));
    glDisable(GL_TEXTURE_GEN_Q);
    glDisable(GL_TEXTURE_GEN_R);
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_TEXTURE_GEN_S);
  }
  glDisable(GL_ALPHA_TEST);
}
