// Material files, binding a material with a light, and the script's material
// statement.
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>

#include "platform/platform.h"
#include "render/camera.h"
#include "render/gpu.h"
#include "render/material.h"
#include "render/pictures.h"
#include "render/resources.h"
#include "tests/resources/picture_writers.h"
#include "tests/resources/resource_fixture.h"
#include "tests/script/script_fixture.h"

namespace {

std::vector<std::string> loads;

void recordLoad(int normalMap, const std::string& name, const std::string& fileName) {
  loads.push_back("load " + std::to_string(normalMap) + " " + name + " " + fileName);
}

std::string numbers(const float* v, int n) {
  std::string text;
  for (int i = 0; i < n; ++i) {
    char piece[32];
    std::snprintf(piece, sizeof piece, " %g", static_cast<double>(v[i]));
    text += piece;
  }
  return text;
}

// The fields that differ from a fresh material, one "name values" per line.
std::string changedFields(const Material& m) {
  const Material fresh;
  std::string text;
  auto floats = [&](const char* name, const float* value, const float* initial, int n) {
    for (int i = 0; i < n; ++i) {
      if (value[i] != initial[i]) {
        text += std::string(name) + numbers(value, n) + "\n";
        return;
      }
    }
  };
  auto mode = [&](const char* name, int32_t value) {
    if (value != GL_CLAMP) text += std::string(name) + " " + std::to_string(value) + "\n";
  };
  auto name = [&](const char* key, const std::string& value) {
    if (!value.empty()) text += std::string(key) + " " + value + "\n";
  };
  floats("specular", m.specular, fresh.specular, 3);
  floats("diffuse", m.diffuse, fresh.diffuse, 3);
  floats("ambient", m.ambient, fresh.ambient, 3);
  floats("specularPow", &m.specularPow, &fresh.specularPow, 1);
  floats("specularAdd", &m.specularAdd, &fresh.specularAdd, 1);
  floats("envAmount", &m.envAmount, &fresh.envAmount, 1);
  floats("envTexAmount", &m.envTexAmount, &fresh.envTexAmount, 1);
  floats("envPosMul", m.envPosMul, fresh.envPosMul, 2);
  floats("bump", &m.bump, &fresh.bump, 1);
  floats("texMul", &m.texMul, &fresh.texMul, 1);
  floats("texAdd", &m.texAdd, &fresh.texAdd, 1);
  floats("parallaxDepth", &m.parallaxDepth, &fresh.parallaxDepth, 1);
  floats("parallaxBias", &m.parallaxBias, &fresh.parallaxBias, 1);
  floats("texScaleOffset", m.texScaleOffset, fresh.texScaleOffset, 4);
  floats("texBumpScaleOffset", m.texBumpScaleOffset, fresh.texBumpScaleOffset, 4);
  floats("texSpecularScaleOffset", m.texSpecularScaleOffset, fresh.texSpecularScaleOffset, 4);
  floats("texEnvScaleOffset", m.texEnvScaleOffset, fresh.texEnvScaleOffset, 4);
  mode("textureRepeatMode", m.textureRepeatMode);
  mode("textureBumpRepeatMode", m.textureBumpRepeatMode);
  mode("textureSpecularRepeatMode", m.textureSpecularRepeatMode);
  mode("textureEnvRepeatMode", m.textureEnvRepeatMode);
  name("texture", m.texture);
  name("textureBump", m.textureBump);
  name("textureSpecular", m.textureSpecular);
  name("textureEnv", m.textureEnv);
  for (const std::string& load : loads) text += load + "\n";
  return text;
}

std::string parsed(const std::string& text) {
  loads.clear();
  Material m;
  parseMaterial(DataBuffer(text.begin(), text.end()), m, recordLoad);
  return changedFields(m);
}

TEST(MaterialFile, Lines) {
  struct Case {
    std::string text;
    const char* fields;
  };
  const Case cases[] = {
      {"diffuse=1,0.5,0.25\n", "diffuse 1 0.5 0.25\n"},
      // a space ends an unquoted value
      {"diffuse = 1, 0.5, 0.25\n", "diffuse 1 0 0\n"},
      {"diffuse = \"1, 0.5, 0.25\"\n", "diffuse 1 0.5 0.25\n"},
      {"ambient = \"0.1, 0.2\n", "ambient 0.1 0.2 0\n"},  // unclosed: to the end of the line
      {"bump = 0.3 // stronger than usual\n", "bump 0.3\n"},
      {"// bump = 0.3\n", ""},
      {"texMul = 2 //bump = 0.3\n", "texMul 2\n"},
      {"bump = 0.3", ""},  // no line feed: ignored
      {"specularPow = 8\nbump = 0.3", "specularPow 8\n"},
      {"bump = 0.5\r\ntexAdd = 0.25\r\n", "bump 0.5\ntexAdd 0.25\n"},
      {"bump 0.3\n", ""},
      {"bump: 0.3 = 1\n", ""},
      {"bump   =   0.75\n", "bump 0.75\n"},
      {"bump =\n", ""},
      {"bump = \"\"\n", ""},
      // the first occurrence decides: "specular" is first found in "specularPow"
      {"specularPow = 4 specular = 1,1,1\n", "specularPow 4\n"},
      {"specular = 1,1,1 specularPow = 4\n", "specular 1 1 1\nspecularPow 4\n"},
      {"diffuse=x,0.5,,0.25,9\n", "diffuse 0.5 0.25 9\n"},
      {"texScaleOffset=1,2,3,4,5\n", "texScaleOffset 1 2 3 4\n"},
      {"envPosMul = 0.5,2]\n", "envPosMul 0.5 2\n"},
      {"diffuse = 1,1,1\ndiffuse = 0.5\n", "diffuse 0.5 1 1\n"},
      {"diffuse = 1,1,1\ndiffuse = inf,nan,0x10\n", "diffuse 0 1 1\n"},
      {"texBumpScaleOffset=4,4\ntexSpecularScaleOffset=1,1,0.5,0.5\ntexEnvScaleOffset=-1\n",
       "texBumpScaleOffset 4 4 0 0\ntexSpecularScaleOffset 1 1 0.5 0.5\ntexEnvScaleOffset -1 0 0 0\n"},
      {"specularAdd=0.1\nenvAmount=0.2\nenvTexAmount=0.3\nparallaxDepth=0.04\nparallaxBias=-0.02\n",
       "specularAdd 0.1\nenvAmount 0.2\nenvTexAmount 0.3\nparallaxDepth 0.04\nparallaxBias -0.02\n"},
      // repeat modes: truncated; 0, 1 and 2 name wrap modes, others are wrap modes
      {"textureRepeatMode = 2.9\n", "textureRepeatMode 33648\n"},  // GL_MIRRORED_REPEAT
      {"textureBumpRepeatMode = 33071\n", "textureBumpRepeatMode 33071\n"},  // GL_CLAMP_TO_EDGE
      {"textureSpecularRepeatMode = 1\ntextureEnvRepeatMode = 0\n", "textureSpecularRepeatMode 10497\n"},
      {"textureRepeatMode = 1\ntextureRepeatMode = -0.5\n", ""},  // back to GL_CLAMP
      {"textureRepeatMode = 1e30\n", "textureRepeatMode 2147483647\n"},
      {"textureEnvRepeatMode = 1,2,2,2,2\n", "textureEnvRepeatMode 10497\n"},
      // pictures: loaded as they are read, the bump map under its "Bump" name
      {"texture = stone.jpg\n", "texture stone.jpg\nload 0 stone.jpg stone.jpg\n"},
      {"textureBump = stone.png\n", "textureBump stone.pngBump\nload 1 stone.pngBump stone.png\n"},
      {"textureSpecular = \"my shine.png\"\ntextureEnv = sky.jpg]\n",
       "textureSpecular myshine.png\ntextureEnv sky.jpg\nload 0 myshine.png myshine.png\nload 0 sky.jpg sky.jpg\n"},
      // "texture" is first found in "textureBump": only the bump map is set
      {"textureBump = a.png texture = b.png\n", "textureBump a.pngBump\nload 1 a.pngBump a.png\n"},
      {"texture = b.png textureBump = a.png\n",
       "texture b.png\ntextureBump a.pngBump\nload 0 b.png b.png\nload 1 a.pngBump a.png\n"},
      {"texture = a.png\ntexture = b.png\n", "texture b.png\nload 0 a.png a.png\nload 0 b.png b.png\n"},
      // a line keeps its first 1,023 characters
      {"texAdd = 0.5 " + std::string(2000, 'x') + " bump = 1\nbump = 2\n", "bump 2\ntexAdd 0.5\n"},
      {std::string(1013, ' ') + "bump = 0.75\n", "bump 0.7\n"},
  };
  for (const Case& c : cases) EXPECT_EQ(parsed(c.text), c.fields) << c.text.substr(0, 80);
}

class Materials : public ResourceTest {};

TEST_F(Materials, MissingFileGivesAnEmptyMaterial) {
  testing::internal::CaptureStderr();
  std::shared_ptr<Material> m = loadMaterial("no such.mat");
  testing::internal::GetCapturedStderr();
  ASSERT_NE(m, nullptr);
  loads.clear();
  EXPECT_EQ(changedFields(*m), "");
}

TEST_F(Materials, BumpMapAndColourMapOfOnePictureAreTwoTextures) {
  writeBytes("stone.png", encodeRgbaPng(2, 1, {255, 0, 0, 200, 0, 0, 255, 100}));
  writeTextFile("stone.mat", "texture = stone.png\ntextureBump = stone.png\n");
  std::shared_ptr<Material> m = loadMaterial("stone.mat");
  EXPECT_EQ(m->texture, "stone.png");
  EXPECT_EQ(m->textureBump, "stone.pngBump");
  Texture* colour = findTexture("stone.png");
  Texture* bump = findTexture("stone.pngBump");
  ASSERT_NE(colour, nullptr);
  ASSERT_NE(bump, nullptr);
  EXPECT_NE(colour->id, bump->id);
  Texels c = texelsOf(*colour);
  Texels b = texelsOf(*bump);
  EXPECT_EQ(rgbaText(c.at(0, 0)) + ", " + rgbaText(c.at(1, 0)), "255 0 0 200, 0 0 255 100");
  EXPECT_EQ(rgbaText(b.at(0, 0)) + ", " + rgbaText(b.at(1, 0)), "127 127 179 0, 127 127 226 0");
}

// Program environment parameters as the driver holds them.
V4 envParameter(GLenum target, GLuint index) {
  static auto get = reinterpret_cast<PFNGLGETPROGRAMENVPARAMETERFVARBPROC>(
      platform::glProcAddress("glGetProgramEnvParameterfvARB"));
  float v[4] = {};
  get(target, index, v);
  return {v[0], v[1], v[2], v[3]};
}

std::string text(V4 v) {
  const float f[4] = {v.x, v.y, v.z, v.w};
  return numbers(f, 4);
}

struct UnitState {
  GLint texture = 0;
  GLint wrapS = 0, wrapT = 0, minFilter = 0, magFilter = 0;
  GLboolean enabled = GL_FALSE;
};

UnitState unitState(int unit) {
  gpu.glActiveTextureARB(static_cast<GLenum>(GL_TEXTURE0_ARB + unit));
  UnitState s;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &s.texture);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &s.wrapS);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &s.wrapT);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &s.minFilter);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &s.magFilter);
  s.enabled = glIsEnabled(GL_TEXTURE_2D);
  glDisable(GL_TEXTURE_2D);
  return s;
}

Material sampleMaterial() {
  Material m;
  const float specular[3] = {0.5f, 0.25f, 1.0f}, diffuse[3] = {1.0f, 0.5f, 0.25f}, ambient[3] = {0.1f, 0.2f, 0.3f};
  std::copy(specular, specular + 3, m.specular);
  std::copy(diffuse, diffuse + 3, m.diffuse);
  std::copy(ambient, ambient + 3, m.ambient);
  m.specularPow = 16.0f;
  m.specularAdd = 0.75f;
  m.envAmount = 0.3f;
  m.envTexAmount = 0.4f;
  m.envPosMul[0] = 0.5f;
  m.envPosMul[1] = -0.5f;
  m.bump = 2.0f;
  m.texMul = 1.5f;
  m.texAdd = 0.125f;
  m.parallaxDepth = 0.03f;
  m.parallaxBias = -0.01f;
  for (int i = 0; i < 4; ++i) {
    m.texScaleOffset[i] = 1.0f + i;
    m.texBumpScaleOffset[i] = 5.0f + i;
    m.texSpecularScaleOffset[i] = 9.0f + i;
    m.texEnvScaleOffset[i] = 13.0f + i;
  }
  m.textureRepeatMode = GL_REPEAT;
  m.textureBumpRepeatMode = GL_CLAMP_TO_EDGE;
  m.textureSpecularRepeatMode = GL_MIRRORED_REPEAT;
  m.textureEnvRepeatMode = GL_CLAMP;
  m.texture = "bind colour";
  m.textureBump = "bind bump";
  m.textureSpecular = "bind specular";
  m.textureEnv = "bind env";
  return m;
}

TEST_F(Materials, BindSetsUnitsAndParameters) {
  while (glGetError() != GL_NO_ERROR) {
  }
  const char* names[4] = {"bind bump", "bind colour", "bind specular", "bind env"};  // units 0..3
  for (const char* name : names) makeTexture(false, 4, name, 4, nullptr, GL_RGBA);
  Material m = sampleMaterial();
  bindPrograms(gpu.phongSpecularMap);
  bindMaterial(m, Vector3{2.0f, 1.0f, 0.5f}, Vector4{1.0f, 2.0f, 3.0f, 0.0f});
  unbindPrograms();

  GLint active = 0;
  glGetIntegerv(GL_ACTIVE_TEXTURE_ARB, &active);
  EXPECT_EQ(active, GL_TEXTURE0_ARB);
  const GLint wraps[4] = {GL_CLAMP_TO_EDGE, GL_REPEAT, GL_MIRRORED_REPEAT, GL_CLAMP};
  for (int unit = 0; unit < 4; ++unit) {
    UnitState s = unitState(unit);
    EXPECT_EQ(static_cast<GLuint>(s.texture), findTexture(names[unit])->id) << unit;
    EXPECT_EQ(s.wrapS, wraps[unit]) << unit;
    EXPECT_EQ(s.wrapT, wraps[unit]) << unit;
    EXPECT_EQ(s.minFilter, GL_LINEAR) << unit;
    EXPECT_EQ(s.magFilter, GL_LINEAR) << unit;
    EXPECT_TRUE(s.enabled) << unit;
  }
  gpu.glActiveTextureARB(GL_TEXTURE0_ARB);

  EXPECT_EQ(text(envParameter(GL_VERTEX_PROGRAM_ARB, 0)), " 1 2 3 0");
  const char* fragment[10] = {
      " 2 0.5 0.125 1",          // diffuse x light
      " 1 0.25 0.5 1",           // specular x light
      " 16 1 0.75 0.125",        // specularPow, 1, specularAdd, texAdd
      " 2 1.5 0.03 -0.01",       // bump, texMul, parallax
      " 0.3 0.4 0.5 -0.5",       // environment
      " 0.2 0.2 0.15 1",         // ambient x light
      " 1 2 3 4", " 5 6 7 8", " 9 10 11 12", " 13 14 15 16"};
  for (GLuint i = 0; i < 10; ++i) EXPECT_EQ(text(envParameter(GL_FRAGMENT_PROGRAM_ARB, i)), fragment[i]) << i;
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Materials, UnknownTextureNamesLeaveTheUnitsTextures) {
  GLuint kept[4];
  glGenTextures(4, kept);
  for (int unit = 0; unit < 4; ++unit) bindUnit(unit, kept[unit]);
  Material m;  // no names: nothing in the registry
  bindMaterial(m, Vector3{1, 1, 1}, Vector4{});
  for (int unit = 0; unit < 4; ++unit) EXPECT_EQ(static_cast<GLuint>(unitState(unit).texture), kept[unit]) << unit;
  gpu.glActiveTextureARB(GL_TEXTURE0_ARB);
  glDeleteTextures(4, kept);
}

TEST_F(Materials, LightIsBroughtIntoEyeSpace) {
  // From (5, 0, 0) towards the origin the camera looks along -X, which eye
  // space calls -Z; only the rotation acts on the light's offset.
  camera = CameraState{};
  camera.position = Vector3{5.0f, 0.0f, 0.0f};
  camera.lookAt = Vector3{0.0f, 0.0f, 0.0f};
  applyCamera();
  applyMaterialLight(Material{}, Vector3{0.0f, 1.0f, 2.0f}, Vector3{1, 1, 1});
  V4 light = envParameter(GL_VERTEX_PROGRAM_ARB, 0);
  // offset (-5, 1, 2): right of the view is -Z in the world, up is +Y
  EXPECT_NEAR(light.x, -2.0f, 1e-5f);
  EXPECT_NEAR(light.y, 1.0f, 1e-5f);
  EXPECT_NEAR(light.z, -5.0f, 1e-5f);
  EXPECT_EQ(light.w, 0.0f);
  resetMatrices();
  gpu.glActiveTextureARB(GL_TEXTURE0_ARB);
}

TEST_F(Materials, ScriptMaterialStatementLoadsEachFile) {
  setFatalHandler(throwFatal);
  installResourceLoaders();
  writeTextFile("a.mat", "diffuse = 1,0.5,0.25\ntexture = missing.png\n");
  writeTextFile("b.mat", "bump = 0.3\n");
  testing::internal::CaptureStderr();
  ScriptContext ctx = loadScript("material m = \"a.mat\" \"b.mat\";");
  std::string said = testing::internal::GetCapturedStderr();
  Material* a = nullptr;
  Material* b = nullptr;
  ASSERT_TRUE(getMaterial(ctx, "m", &a, 0));
  ASSERT_TRUE(getMaterial(ctx, "m", &b, 1));
  EXPECT_EQ(a->diffuse[1], 0.5f);
  EXPECT_EQ(a->texture, "missing.png");  // kept, though nothing was registered
  EXPECT_EQ(findTexture("missing.png"), nullptr);
  EXPECT_NE(said.find("missing.png"), std::string::npos) << said;
  EXPECT_EQ(b->bump, 0.3f);
  setScriptResourceLoaders(ScriptResourceLoaders{});
  setFatalHandler(nullptr);
}

}  // namespace
