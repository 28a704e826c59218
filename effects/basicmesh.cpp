#include "effects/basicmesh.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include "render/camera.h"
#include "render/gpu.h"
#include "render/placement.h"
#include "render/targets.h"

const char* const basicMeshFile = "./duvova/meshes/naamari_meta_open.lwo";

void BasicMeshEffect::setup() {
  loadLwoMesh(basicMeshFile, mesh, {1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, 0);
}

void BasicMeshEffect::render(float, float) {
  int32_t use16 = 0;
  getInt(script, "use16", &use16);
  glEnable(GL_DEPTH_TEST);
  readCameraBlock(script);
  resetPhongParameters();
  glDisable(GL_CULL_FACE);
  readFloat(script, "animFactor");
  recomputeSmoothNormals(mesh);

  applyPlacement(readPlacement(script, "mesh"), PlacementForm::turnAboutCentre);
  glDisable(GL_BLEND);
  glEnable(GL_TEXTURE_2D);
  glDepthFunc(GL_LEQUAL);

  float back[4] = {0, 0, 0, 0};
  getFloats(script, "backColor", back);
  glClearColor(back[0], back[1], back[2], 0.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

  getFloats(script, "meshSpec", gpu.phongSpecular);
  float light[4] = {0, 0, 0, 0};
  getFloats(script, "lightPos", light);
  const char* shading[4] = {"meshSpecPow", "meshSpecMul", "meshSpecAdd", "meshTexAdd"};
  const char* surface[4] = {"meshBump", "meshTexMul", "meshParallaxDepth", "meshParallaxBias"};
  for (int i = 0; i < 4; ++i) gpu.phongShading[i] = readFloat(script, shading[i], gpu.phongShading[i]);
  for (int i = 0; i < 4; ++i) gpu.phongSurface[i] = readFloat(script, surface[i], gpu.phongSurface[i]);
  float texScale[4] = {0, 0, 0, 0};
  getFloats(script, "meshTexScale", texScale);
  texScale[3] = 0.0f;

  // The light keeps its place relative to the eye: only the camera's rotation applies.
  Vector4 eyeLight = eyeSpace({light[0], light[1], light[2], 0.0f});
  const float lightParam[4] = {eyeLight.x, eyeLight.y, eyeLight.z, 0.0f};
  gpu.glProgramEnvParameter4fvARB(GL_VERTEX_PROGRAM_ARB, 0, lightParam);
  gpu.glProgramEnvParameter4fvARB(GL_VERTEX_PROGRAM_ARB, 1, texScale);
  float colour[4] = {0, 0, 0, 1};
  getFloats(script, "meshColor", colour);
  colour[3] = 1.0f;
  gpu.glProgramEnvParameter4fvARB(GL_FRAGMENT_PROGRAM_ARB, 0, colour);

  std::string colourMap, bumpMap;
  getText(script, "textureMesh", &colourMap, 0);
  getText(script, "textureMeshBumpHeight", &bumpMap, 0);
  gpu.glActiveTextureARB(GL_TEXTURE1_ARB);
  glEnable(GL_TEXTURE_2D);
  setTextureParameters(colourMap, GL_REPEAT, GL_LINEAR);
  gpu.glActiveTextureARB(GL_TEXTURE0_ARB);
  setTextureParameters(bumpMap, GL_REPEAT, GL_LINEAR);

  bindPrograms(gpu.phong);
  gpu.glProgramEnvParameter4fvARB(GL_FRAGMENT_PROGRAM_ARB, 1, gpu.phongSpecular);
  gpu.glProgramEnvParameter4fvARB(GL_FRAGMENT_PROGRAM_ARB, 2, gpu.phongShading);
  gpu.glProgramEnvParameter4fvARB(GL_FRAGMENT_PROGRAM_ARB, 3, gpu.phongSurface);

  glPushMatrix();
  // The programs read the vertex colour as the tangent.
  glColor4f(1.0f, 0.0f, 0.0f, 0.0f);
  glBegin(GL_TRIANGLES);
  for (const MeshTriangle& triangle : mesh.triangles) {
    for (int32_t corner : triangle.corners) {
      const MeshVertex& v = mesh.vertices[static_cast<size_t>(corner)];
      glTexCoord2f(v.texCoord.x, v.texCoord.y);
      glNormal3f(v.normal.x, v.normal.y, v.normal.z);
      glVertex3f(v.position.x, v.position.y, v.position.z);
    }
  }
  glEnd();
  glPopMatrix();

  gpu.glActiveTextureARB(GL_TEXTURE1_ARB);
  glDisable(GL_TEXTURE_2D);
  gpu.glActiveTextureARB(GL_TEXTURE0_ARB);
  glBindTexture(GL_TEXTURE_2D, 0);
  unbindPrograms();
}
