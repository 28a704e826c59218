#include "render/material.h"

#include <GL/glext.h>

#include <cmath>
#include <cstring>

#include "render/camera.h"
#include "render/gpu.h"
#include "render/pictures.h"
#include "runtime/text_files.h"

namespace {

constexpr size_t lineLimit = 1023;

// key, optional spaces, "=", optional spaces, then the value: up to a space,
// "]" or the end, or a quoted text without its spaces. Empty when the key's
// first occurrence is not followed that way.
std::string valueOf(const std::string& line, const char* key) {
  size_t i = line.find(key);
  if (i == std::string::npos) return {};
  i += std::strlen(key);
  while (i < line.size() && line[i] == ' ') ++i;
  if (i >= line.size() || line[i] != '=') return {};
  ++i;
  while (i < line.size() && line[i] == ' ') ++i;
  std::string value;
  if (i < line.size() && line[i] == '"') {
    for (++i; i < line.size() && line[i] != '"'; ++i) {
      if (line[i] != ' ') value.push_back(line[i]);
    }
    return value;
  }
  for (; i < line.size() && line[i] != ' ' && line[i] != ']'; ++i) value.push_back(line[i]);
  return value;
}

// Up to four numbers from the comma-separated pieces; the count read.
int readNumbers(const std::string& value, float numbers[4]) {
  int count = 0;
  size_t start = 0;
  while (count < 4 && start <= value.size()) {
    size_t comma = value.find(',', start);
    if (comma == std::string::npos) comma = value.size();
    std::string piece = value.substr(start, comma - start);
    if (readDecimal(piece.c_str(), &numbers[count])) ++count;
    start = comma + 1;
  }
  return count;
}

void setNumbers(const std::string& line, const char* key, float* field, int components) {
  std::string value = valueOf(line, key);
  if (value.empty()) return;
  float numbers[4];
  int count = readNumbers(value, numbers);
  for (int k = 0; k < count && k < components; ++k) field[k] = numbers[k];
}

// Truncated toward zero; the file's 0, 1 and 2 name the three wrap modes.
void setRepeatMode(const std::string& line, const char* key, int32_t& field) {
  std::string value = valueOf(line, key);
  if (value.empty()) return;
  float numbers[4];
  if (readNumbers(value, numbers) == 0) return;
  double whole = std::trunc(static_cast<double>(numbers[0]));
  if (whole < INT32_MIN) whole = INT32_MIN;  // far out of range: no wrap mode either way
  if (whole > INT32_MAX) whole = INT32_MAX;
  int32_t mode = static_cast<int32_t>(whole);
  if (mode == 0) mode = GL_CLAMP;
  else if (mode == 1) mode = GL_REPEAT;
  else if (mode == 2) mode = GL_MIRRORED_REPEAT;
  field = mode;
}

void setTexture(const std::string& line, const char* key, std::string& field, bool bump,
                MaterialTextureLoader loadTexture) {
  std::string fileName = valueOf(line, key);
  if (fileName.empty()) return;
  field = bump ? fileName + "Bump" : fileName;
  if (loadTexture) loadTexture(bump ? 1 : 0, field, fileName);
}

void applyLine(std::string line, Material& m, MaterialTextureLoader loadTexture) {
  size_t comment = line.find("//");
  if (comment != std::string::npos) line.erase(comment);
  setNumbers(line, "specular", m.specular, 3);
  setNumbers(line, "diffuse", m.diffuse, 3);
  setNumbers(line, "ambient", m.ambient, 3);
  setNumbers(line, "specularPow", &m.specularPow, 1);
  setNumbers(line, "specularAdd", &m.specularAdd, 1);
  setNumbers(line, "envAmount", &m.envAmount, 1);
  setNumbers(line, "envTexAmount", &m.envTexAmount, 1);
  setNumbers(line, "envPosMul", m.envPosMul, 2);
  setNumbers(line, "bump", &m.bump, 1);
  setNumbers(line, "texMul", &m.texMul, 1);
  setNumbers(line, "texAdd", &m.texAdd, 1);
  setNumbers(line, "parallaxDepth", &m.parallaxDepth, 1);
  setNumbers(line, "parallaxBias", &m.parallaxBias, 1);
  setNumbers(line, "texScaleOffset", m.texScaleOffset, 4);
  setNumbers(line, "texBumpScaleOffset", m.texBumpScaleOffset, 4);
  setNumbers(line, "texSpecularScaleOffset", m.texSpecularScaleOffset, 4);
  setNumbers(line, "texEnvScaleOffset", m.texEnvScaleOffset, 4);
  setRepeatMode(line, "textureRepeatMode", m.textureRepeatMode);
  setRepeatMode(line, "textureBumpRepeatMode", m.textureBumpRepeatMode);
  setRepeatMode(line, "textureSpecularRepeatMode", m.textureSpecularRepeatMode);
  setRepeatMode(line, "textureEnvRepeatMode", m.textureEnvRepeatMode);
  setTexture(line, "texture", m.texture, false, loadTexture);
  setTexture(line, "textureBump", m.textureBump, true, loadTexture);
  setTexture(line, "textureSpecular", m.textureSpecular, false, loadTexture);
  setTexture(line, "textureEnv", m.textureEnv, false, loadTexture);
}

void loadPictureAtFullSaturation(int normalMap, const std::string& name, const std::string& fileName) {
  loadPictureTexture(normalMap, name, fileName, 1.0f);
}

void bindUnit(int unit, const std::string& name, GLint wrap) {
  gpu.glActiveTextureARB(static_cast<GLenum>(GL_TEXTURE0_ARB + unit));
  setTextureParameters(name, wrap, GL_LINEAR);
  glEnable(GL_TEXTURE_2D);
}

void setFragment(GLuint index, float x, float y, float z, float w) {
  const float v[4] = {x, y, z, w};
  gpu.glProgramEnvParameter4fvARB(GL_FRAGMENT_PROGRAM_ARB, index, v);
}

void setFragmentColour(GLuint index, const float colour[3], const Vector3& light) {
  setFragment(index, colour[0] * light.x, colour[1] * light.y, colour[2] * light.z, 1.0f);
}

}  // namespace

void parseMaterial(const DataBuffer& data, Material& material, MaterialTextureLoader loadTexture) {
  std::string line;
  for (uint8_t byte : data) {
    if (byte == '\n') {
      applyLine(line, material, loadTexture);
      line.clear();
    } else if (byte != '\r' && line.size() < lineLimit) {
      line.push_back(static_cast<char>(byte));
    }
  }
}

std::shared_ptr<Material> loadMaterial(const std::string& fileName, MaterialTextureLoader loadTexture) {
  auto material = std::make_shared<Material>();
  DataBuffer data;
  readDataFile(fileName, data);
  parseMaterial(data, *material, loadTexture);
  return material;
}

std::shared_ptr<Material> loadMaterial(const std::string& fileName) {
  return loadMaterial(fileName, loadPictureAtFullSaturation);
}

void bindMaterial(const Material& m, const Vector3& lightColor, const Vector4& lightPositionEye) {
  bindUnit(3, m.textureEnv, m.textureEnvRepeatMode);
  bindUnit(2, m.textureSpecular, m.textureSpecularRepeatMode);
  bindUnit(1, m.texture, m.textureRepeatMode);
  bindUnit(0, m.textureBump, m.textureBumpRepeatMode);

  const float light[4] = {lightPositionEye.x, lightPositionEye.y, lightPositionEye.z, lightPositionEye.w};
  gpu.glProgramEnvParameter4fvARB(GL_VERTEX_PROGRAM_ARB, 0, light);
  setFragmentColour(0, m.diffuse, lightColor);
  setFragmentColour(1, m.specular, lightColor);
  setFragment(2, m.specularPow, 1.0f, m.specularAdd, m.texAdd);
  setFragment(3, m.bump, m.texMul, m.parallaxDepth, m.parallaxBias);
  setFragment(4, m.envAmount, m.envTexAmount, m.envPosMul[0], m.envPosMul[1]);
  setFragmentColour(5, m.ambient, lightColor);
  gpu.glProgramEnvParameter4fvARB(GL_FRAGMENT_PROGRAM_ARB, 6, m.texScaleOffset);
  gpu.glProgramEnvParameter4fvARB(GL_FRAGMENT_PROGRAM_ARB, 7, m.texBumpScaleOffset);
  gpu.glProgramEnvParameter4fvARB(GL_FRAGMENT_PROGRAM_ARB, 8, m.texSpecularScaleOffset);
  gpu.glProgramEnvParameter4fvARB(GL_FRAGMENT_PROGRAM_ARB, 9, m.texEnvScaleOffset);
}

void applyMaterialLight(const Material& material, const Vector3& lightPosition, const Vector3& lightColor) {
  Vector4 relative{lightPosition.x - camera.position.x, lightPosition.y - camera.position.y,
                   lightPosition.z - camera.position.z, 0.0f};
  bindMaterial(material, lightColor, eyeSpace(relative));
}
