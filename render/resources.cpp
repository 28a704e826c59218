#include "render/resources.h"

#include <GL/gl.h>

#include "mesh/mesh.h"
#include "render/material.h"
#include "render/pictures.h"
#include "render/targets.h"
#include "script/script.h"

namespace {

struct ResourceState {
  void (*needGl)() = nullptr;
};

ResourceState resources;

void prepareGl() {
  if (resources.needGl) resources.needGl();
}

void pngTexture(int normalMap, const std::string& name, const std::string& fileName, float saturation) {
  prepareGl();
  loadPngTexture(normalMap, name, fileName, saturation);
}

void jpegTexture(int normalMap, const std::string& name, const std::string& fileName) {
  prepareGl();
  loadJpegTexture(normalMap, name, fileName);
}

void emptyTexture(const std::string& name, int width, int height) {
  prepareGl();
  makeTexture(false, width, name, height, nullptr, GL_RGBA);
}

void materialTexture(int normalMap, const std::string& name, const std::string& fileName) {
  prepareGl();
  loadPictureTexture(normalMap, name, fileName, 1.0f);
}

std::shared_ptr<Material> material(const std::string& fileName) { return loadMaterial(fileName, materialTexture); }

// Script meshes take the default projection axes; a file that cannot be read gives an empty mesh.
std::shared_ptr<Mesh> mesh(const std::string& fileName) {
  auto loaded = std::make_shared<Mesh>();
  loadLwoMesh(fileName, *loaded);
  return loaded;
}

}  // namespace

void installResourceLoaders(void (*needGl)()) {
  resources.needGl = needGl;
  ScriptResourceLoaders loaders;
  loaders.loadPngTexture = pngTexture;
  loaders.loadJpegTexture = jpegTexture;
  loaders.makeTexture = emptyTexture;
  loaders.loadMaterial = material;
  loaders.loadMesh = mesh;
  setScriptResourceLoaders(loaders);
}
