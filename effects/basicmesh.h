// "basicmesh": one fixed mesh lit per pixel by a point light at the eye's
// offset, with a colour map, a parallax bump map and a specular highlight.
#pragma once

#include "effects/framework/effect.h"
#include "mesh/mesh.h"

class BasicMeshEffect : public Effect {
 public:
  void render(float time, float timeStep) override;
  void setup() override;

  Mesh mesh;
};

extern const char* const basicMeshFile;  // "./duvova/meshes/naamari_meta_open.lwo"
