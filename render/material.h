// Materials: how a surface lit by the phongSpecularMap pair looks, read from
// small text files of "key = value" lines, one material per file.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <memory>
#include <string>

#include "render/math.h"
#include "runtime/datapack.h"

// Numbers a file does not set stay zero; repeat modes a file does not set
// are what a written 0 gives, GL_CLAMP.
struct Material {
  float specular[3] = {};
  float diffuse[3] = {};
  float ambient[3] = {};
  float specularPow = 0.0f;   // highlight exponent
  float specularAdd = 0.0f;   // highlight added on top of the lit colour
  float envAmount = 0.0f;     // environment reflection
  float envTexAmount = 0.0f;  // environment reflection tinted by the colour map
  float envPosMul[2] = {};    // how the view position shifts the environment lookup
  float bump = 0.0f;
  float texMul = 0.0f;
  float texAdd = 0.0f;
  float parallaxDepth = 0.0f;
  float parallaxBias = 0.0f;
  // scale u, scale v, offset u, offset v
  float texScaleOffset[4] = {};
  float texBumpScaleOffset[4] = {};
  float texSpecularScaleOffset[4] = {};
  float texEnvScaleOffset[4] = {};
  // OpenGL wrap modes
  int32_t textureRepeatMode = GL_CLAMP;
  int32_t textureBumpRepeatMode = GL_CLAMP;
  int32_t textureSpecularRepeatMode = GL_CLAMP;
  int32_t textureEnvRepeatMode = GL_CLAMP;
  // Registry names: the file names, the bump map's with "Bump" appended.
  std::string texture;
  std::string textureBump;
  std::string textureSpecular;
  std::string textureEnv;
};

// What a texture key does with its file name: load it under name, as a
// bump map when normalMap is set.
using MaterialTextureLoader = void (*)(int normalMap, const std::string& name, const std::string& fileName);

// The lines of a material file, each ended by a line feed (a last line
// without one is ignored), carriage returns dropped, at most 1,023
// characters kept of each. In a line, "//" starts a comment; each key's
// first occurrence counts when "=" follows it after optional spaces. A value
// ends at a space, "]" or the line's end, or, when it starts with a double
// quote, at the next one, with the spaces inside dropped. Numbers are comma
// separated; pieces that are not numbers are skipped, and a key takes up to
// as many as it has components, leaving the rest as they were. Repeat modes
// truncate: 0 is GL_CLAMP, 1 GL_REPEAT, 2 GL_MIRRORED_REPEAT, others are
// taken as wrap modes. Texture keys call loadTexture as they are read.
void parseMaterial(const DataBuffer& data, Material& material, MaterialTextureLoader loadTexture);

// A new material filled from the file through the data pack (still made,
// with nothing set, when the file cannot be read). Its pictures are loaded
// as PNG or JPEG by their names, with saturation 1.
std::shared_ptr<Material> loadMaterial(const std::string& fileName);
// The same with another texture loader.
std::shared_ptr<Material> loadMaterial(const std::string& fileName, MaterialTextureLoader loadTexture);

// With the phongSpecularMap pair bound: environment map on unit 3, specular
// map on 2, colour map on 1, bump map on 0 (each with its repeat mode and
// linear filtering, 2D texturing enabled; an unknown name leaves the unit's
// texture), unit 0 left active; then the program parameters: vertex 0 the
// light in eye space, fragment 0 diffuse x light, 1 specular x light,
// 2 (specularPow, 1, specularAdd, texAdd), 3 (bump, texMul, parallaxDepth,
// parallaxBias), 4 (envAmount, envTexAmount, envPosMul), 5 ambient x light,
// 6..9 the colour, bump, specular and environment scale-offsets.
void bindMaterial(const Material& material, const Vector3& lightColor, const Vector4& lightPositionEye);

// bindMaterial with a world-space light: (lightPosition - camera position, 0)
// turned by the camera matrix.
void applyMaterialLight(const Material& material, const Vector3& lightPosition, const Vector3& lightColor);
