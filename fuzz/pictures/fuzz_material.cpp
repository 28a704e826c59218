// Arbitrary bytes as a material file. Texture keys only record their
// names: the pictures have fuzz targets of their own.
#include <cstddef>
#include <cstdint>

#include "render/material.h"

namespace {

size_t nameBytes = 0;

void noteTexture(int normalMap, const std::string& name, const std::string& fileName) {
  nameBytes += name.size() + fileName.size() + static_cast<size_t>(normalMap);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Material material;
  parseMaterial(DataBuffer(data, data + size), material, noteTexture);
  return 0;
}
