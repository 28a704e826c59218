// Picture and material tests: a GL context, a fresh working directory for
// the files of each test, and texture read-back.
#pragma once

#include <GL/gl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "render/targets.h"
#include "tests/render/gl_fixture.h"
#include "tests/support/temp_dir.h"

class ResourceTest : public testing::Test {
 protected:
  void SetUp() override {
    openGl();
    dir = std::make_unique<ScopedTempDir>();
  }
  void TearDown() override { dir.reset(); }
  std::unique_ptr<ScopedTempDir> dir;
};

// A registry texture's level 0 as RGBA bytes, rows from t = 0.
struct Texels {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;
  const uint8_t* at(int x, int y) const { return rgba.data() + (static_cast<size_t>(y) * width + x) * 4; }
};

inline Texels texelsOf(const Texture& texture) {
  Texels t;
  glBindTexture(GL_TEXTURE_2D, texture.id);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &t.width);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &t.height);
  t.rgba.resize(static_cast<size_t>(t.width) * t.height * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, t.rgba.data());
  return t;
}

inline std::string rgbaText(const uint8_t* p) {
  return std::to_string(p[0]) + " " + std::to_string(p[1]) + " " + std::to_string(p[2]) + " " + std::to_string(p[3]);
}
