#include "render/targets.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "render/camera.h"
#include "render/height_to_normal.h"
#include "runtime/settings.h"

namespace {

// Entries in creation order; lookups walk from the start. Entries stay at
// their address until deleteAllTextures.
struct TextureRegistry {
  std::vector<std::unique_ptr<Texture>> entries;
};

TextureRegistry registry;

bool sizePossible(const std::string& name, int width, int height) {
  GLint largest = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
  if (width > 0 && height > 0 && width <= largest && height <= largest) return true;
  std::fprintf(stderr, "texture \"%s\": a size of %d x %d cannot be made (largest %d); the name stays unknown\n",
               name.c_str(), width, height, static_cast<int>(largest));
  return false;
}

}  // namespace

Texture* findTexture(const std::string& name) {
  for (const std::unique_ptr<Texture>& entry : registry.entries) {
    if (entry->name == name) return entry.get();
  }
  return nullptr;
}

Texture* makeTexture(bool normalMap, int width, const std::string& name, int height, const unsigned char* pixels,
                     GLenum format) {
  if (Texture* existing = findTexture(name)) return existing;
  if (width == 0) {
    width = targetWidth;
    height = targetHeight;
  } else if (height == 0) {
    height = width;
  }
  if (!sizePossible(name, width, height)) return nullptr;

  auto entry = std::make_unique<Texture>();
  entry->name = name;
  glGenTextures(1, &entry->id);
  glBindTexture(GL_TEXTURE_2D, entry->id);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);

  const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
  std::vector<unsigned char> converted;
  const unsigned char* data = pixels;
  if (!pixels && format != GL_DEPTH_COMPONENT) {
    converted.assign(bytes, 0);
    data = converted.data();
  } else if (pixels && normalMap) {
    converted.resize(bytes);
    heightToNormal(pixels, converted.data(), width, height, 4);
    data = converted.data();
  }
  glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), width, height, 0, format, GL_UNSIGNED_BYTE, data);

  registry.entries.push_back(std::move(entry));
  return registry.entries.back().get();
}

void setTextureParameters(const std::string& name, GLint wrap, GLint filter) {
  Texture* texture = findTexture(name);
  if (!texture) return;
  glBindTexture(GL_TEXTURE_2D, texture->id);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
}

void copyToTexture(const std::string& name, int width, int height) {
  Texture* texture = findTexture(name);
  if (!texture) return;
  if (width == 0) {
    width = targetWidth;
    height = targetHeight;
  }
  glBindTexture(GL_TEXTURE_2D, texture->id);
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, width, height);
}

void drawTextureFullscreen(const std::string& name) {
  Texture* texture = findTexture(name);
  if (!texture) return;
  glBindTexture(GL_TEXTURE_2D, texture->id);
  glBegin(GL_QUADS);
  glTexCoord2f(0.0f, 0.0f);
  glVertex2f(-1.0f, -1.0f);
  glTexCoord2f(1.0f, 0.0f);
  glVertex2f(1.0f, -1.0f);
  glTexCoord2f(1.0f, 1.0f);
  glVertex2f(1.0f, 1.0f);
  glTexCoord2f(0.0f, 1.0f);
  glVertex2f(-1.0f, 1.0f);
  glEnd();
}

void createStandardTargets() {
  makeTexture(false, targetWidth, "screen", targetHeight, nullptr, GL_RGBA);
  makeTexture(false, targetWidth, "back", targetHeight, nullptr, GL_RGBA);
  makeTexture(false, 256, "glow", 256, nullptr, GL_RGBA);
  for (int i = 0; i < 4; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "shadowmap%d", i);
    makeTexture(false, targetHeight, name, targetHeight, nullptr, GL_DEPTH_COMPONENT);
  }
}

void deleteAllTextures() {
  for (const std::unique_ptr<Texture>& entry : registry.entries) glDeleteTextures(1, &entry->id);
  registry.entries.clear();
}

void presentFrame(int windowWidth, int windowHeight, const Viewport& letterbox) {
  resetMatrices();
  copyToTexture("screen", 0, 0);
  glDisable(GL_BLEND);
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glDisable(GL_DEPTH_TEST);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glViewport(0, 0, windowWidth, windowHeight);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glViewport(letterbox.x, letterbox.y, letterbox.width, letterbox.height);
  drawTextureFullscreen("screen");
}
