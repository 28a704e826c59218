// The effect loader and the spectrum effect, on a headless GL context.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "effects/basicmesh.h"
#include "effects/framework/effects.h"
#include "mesh/mesh.h"
#include "platform/platform.h"
#include "render/camera.h"
#include "render/gpu.h"
#include "render/resources.h"
#include "render/targets.h"
#include "runtime/music.h"
#include "runtime/settings.h"
#include "tests/music/music_fixtures.h"
#include "tests/script/script_fixture.h"
#include "tests/support/temp_dir.h"
#include "tools/lwo_writer.h"

namespace {

const char* const spectrumScript =
    "code = spektrometri\n"
    "vec3 cameraLookAt = vec3(0, 0, 0);\n"
    "vec3 cameraPosition = vec3(0, 0, 9);\n"
    "float cameraPositionMul = 1;\n"
    "float cameraPositionMulDecrease = 0;\n"
    "float glenzBeatSpecLow = 0;\n"
    "float glenzBeatSpecHigh = 0;\n"
    "float kirkkaus = 200;\n"
    "int numRevol = 2;\n"
    "float scaleX = 0.5;\n"
    "float suuruus = 1;\n"
    "float seen = 0;\n"
    "seen = paramIn0;\n";

class Effects : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    settings.width = 512;
    settings.height = 288;
    targetWidth = 512;
    targetHeight = 256;
    platform::WindowRequest request{512, 288, false, false, "effects test"};
    ASSERT_EQ(platform::openWindow(request), platform::WindowResult::ok);
    initGpu();
    createStandardTargets();
  }
  void SetUp() override {
    writeTextFile("datapack.dat", "");  // missing glyph files are then quiet
    timeline.effects.clear();
    settings.musicEnabled = false;
  }
  void TearDown() override { releaseMusic(); }

  static int frameOf(const Effect& effect) {
    int32_t frame = -1;
    getInt(effect.script, "frame", &frame);
    return frame;
  }
  ScopedTempDir dir;
};

TEST_F(Effects, SectionsBecomeInstancesWithTheirOwnVariables) {
  writeTextFile("fx/spectrum.txt", spectrumScript);
  writeTextFile("fx/unknown.txt", "code = noSuchEffect\nfloat a = 1;\n");
  writeTextFile("fx/noline.txt", "code = spektrometri");
  writeTextFile("fx/nocode.txt", "name = x\ncode = spektrometri\n");
  writeTextFile("timeline.txt",
                "name = fx/spectrum.txt start = 10 end = 20 params = 1,x,3 out = mineA,mineB\n"
                "name = fx/spectrum.txt start = 0 end = 5 in = mineIn params = 7\n"
                "name = fx/unknown.txt start = 0 end = 5\n"
                "name = fx/noline.txt start = 0 end = 5\n"
                "name = fx/nocode.txt start = 0 end = 5\n"
                "name = fx/missing.txt start = 0 end = 5\n");
  testing::internal::CaptureStderr();
  loadEffects("timeline.txt");
  testing::internal::GetCapturedStderr();
  ASSERT_EQ(timeline.effects.size(), 2u);
  Effect& first = *timeline.effects[0];
  Effect& second = *timeline.effects[1];
  EXPECT_EQ(first.start, 10.0f);
  EXPECT_EQ(first.length, 10.0f);
  ASSERT_EQ(defaultGlyphs.size(), 256u);
  EXPECT_EQ(defaultGlyphs[65]->triangleCount, 0);  // no glyph files here

  float p0 = 0, p1 = 0, seen = 0;
  EXPECT_TRUE(getFloats(first.script, "paramIn0", &p0));
  EXPECT_TRUE(getFloats(first.script, "paramIn1", &p1));
  EXPECT_EQ(findVariable(first.script, "paramIn2"), nullptr);
  EXPECT_EQ(p0, 1.0f);
  EXPECT_EQ(p1, 3.0f);
  EXPECT_TRUE(getFloats(first.script, "seen", &seen));
  EXPECT_EQ(seen, 1.0f);  // the script ran once at load
  EXPECT_TRUE(getFloats(second.script, "seen", &seen));
  EXPECT_EQ(seen, 7.0f);
  EXPECT_EQ(findVariable(second.script, "paramIn1"), nullptr);

  std::string out;
  getText(first.script, "textureOut", &out, 0);
  EXPECT_EQ(out, "mineA");
  getText(second.script, "textureOut", &out, 0);
  EXPECT_EQ(out, "screen");
  for (const char* name : {"mineA", "mineB", "mineIn"}) EXPECT_NE(findTexture(name), nullptr) << name;

  // Active from start up to, not including, start + length.
  struct Step {
    float time;
    int firstFrame;
    int secondFrame;
  };
  const Step steps[] = {{9.999f, 0, 0}, {10.0f, 1, 0}, {19.999f, 2, 0}, {20.0f, 2, 0}, {4.0f, 2, 1}};
  for (const Step& s : steps) {
    renderActiveEffects(s.time, 0.01f);
    EXPECT_EQ(frameOf(first), s.firstFrame) << s.time;
    EXPECT_EQ(frameOf(second), s.secondFrame) << s.time;
  }
}

// The lit share of an RGBA picture's pixels.
double litShare(const std::vector<uint8_t>& rgba) {
  size_t lit = 0;
  for (size_t i = 0; i < rgba.size(); i += 4) lit += rgba[i] > 40;
  return static_cast<double>(lit) / static_cast<double>(rgba.size() / 4);
}

std::vector<uint8_t> textureContents(const std::string& name) {
  std::vector<uint8_t> rgba(512 * 256 * 4);
  glBindTexture(GL_TEXTURE_2D, findTexture(name)->id);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  return rgba;
}

void drawSpectrumFrame(Effect& effect, float time) {
  glViewport(0, 0, targetWidth, targetHeight);
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  renderEffectFrame(effect, time, 0.01f);
}

TEST_F(Effects, SpectrumStripsFollowTheMusicAndFillBack) {
  writeTextFile("fx/spectrum.txt", spectrumScript);
  writeTextFile("timeline.txt", "name = fx/spectrum.txt start = 0 end = 60 params = 0\n");
  loadEffects("timeline.txt");
  ASSERT_EQ(timeline.effects.size(), 1u);
  Effect& effect = *timeline.effects[0];

  // Silence (music off): flat black strips.
  drawSpectrumFrame(effect, 1.0f);
  EXPECT_LT(litShare(textureContents("back")), 0.001);

  // A loud 5 kHz tone: its band is high in the strips' quadratic spread, where the weight is large.
  settings.musicEnabled = true;
  createSoundSystem();
  ASSERT_EQ(createMusicStream(toneMp3(5000.0, 3.0, 0.0, 0.9)), SoundResult::ok);
  ASSERT_EQ(playMusicPaused(), SoundResult::ok);
  setChannelPositionMs(1000);
  drawSpectrumFrame(effect, 1.0f);
  std::vector<uint8_t> atOne = textureContents("back");
  EXPECT_GT(litShare(atOne), 0.002);
  std::vector<uint8_t> screen = textureContents("screen");
  EXPECT_EQ(screen, atOne);  // the default "textureOut" takes the same frame

  setChannelPositionMs(2000);
  drawSpectrumFrame(effect, 2.0f);
  EXPECT_GT(litShare(textureContents("back")), 0.002);
}

// The getter writes as many floats as the variable's type has: a shorter
// vector leaves the camera's other components, a wider one writes no further.
TEST_F(Effects, SpectrumTakesVariablesOfAnyFloatWidth) {
  writeTextFile("fx/wide.txt",
                "code = spektrometri\n"
                "vec4 cameraLookAt = vec4(1, 2, 3, 4);\n"
                "vec2 cameraPosition = vec2(1, 0);\n"
                "vec4 cameraPositionMul = vec4(2, 9, 9, 9);\n"
                "vec4 cameraPositionMulDecrease = vec4(0, 9, 9, 9);\n"
                "vec4 glenzBeatSpecLow = vec4(0, 9, 9, 9);\n"
                "vec4 glenzBeatSpecHigh = vec4(0, 9, 9, 9);\n"
                "vec4 kirkkaus = vec4(200, 9, 9, 9);\n"
                "int numRevol = 2;\n"
                "vec4 scaleX = vec4(0.5, 9, 9, 9);\n"
                "vec4 suuruus = vec4(1, 9, 9, 9);\n");
  writeTextFile("timeline.txt", "name = fx/wide.txt start = 0 end = 60\n");
  loadEffects("timeline.txt");
  ASSERT_EQ(timeline.effects.size(), 1u);
  camera = CameraState{};
  camera.position = {0, 0, 4};
  drawSpectrumFrame(*timeline.effects[0], 1.0f);
  // s = (1 - 0) * (1 + 5 * 0) * 2 on (1, 0, kept 4)
  EXPECT_EQ(camera.position.x, 2.0f);
  EXPECT_EQ(camera.position.y, 0.0f);
  EXPECT_EQ(camera.position.z, 8.0f);
  EXPECT_EQ(camera.lookAt.x, 1.0f);
  EXPECT_EQ(camera.lookAt.y, 2.0f);
  EXPECT_EQ(camera.lookAt.z, 3.0f);
}

}  // namespace

namespace {

const char* const basicMeshScript =
    "code = basicmesh\n"
    "int use16 = 0;\n"
    "int setCamera = 1;\n"
    "vec3 cameraPos = vec3(0, 0, 3);\n"
    "vec3 cameraLookAt = vec3(0, 0, 0);\n"
    "vec3 cameraRPY = vec3(0, 0, 0);\n"
    "vec3 cameraLookAtRPY = vec3(0, 0, 0);\n"
    "float cameraZoom = 0;\n"
    "float animFactor = 0;\n"
    "vec3 meshPos = vec3(0, 0, 0);\n"
    "vec3 meshCen = vec3(0, 0, 0);\n"
    "vec3 meshRot = vec3(0, 0, 0);\n"
    "vec3 meshSca = vec3(1, 1, 1);\n"
    "vec3 backColor = vec3(0, 0, 1);\n"
    "vec3 meshSpec = vec3(0, 0, 0);\n"
    "vec3 lightPos = vec3(0, 0, 0);\n"
    "float meshSpecPow = 8;\n"
    "float meshSpecMul = 0;\n"
    "float meshSpecAdd = 0;\n"
    "float meshTexAdd = 0;\n"
    "float meshBump = 0;\n"
    "float meshTexMul = 1;\n"
    "float meshParallaxDepth = 0;\n"
    "float meshParallaxBias = 0;\n"
    "vec2 meshTexScale = vec2(1, 1);\n"
    "vec3 meshColor = vec3(1, 1, 1);\n"
    "texture textureMesh = \"white\";\n"
    "texture textureMeshBumpHeight = \"flatBump\";\n";

// A square of side 1 at the origin, facing +z.
void writeSquareMesh() {
  LwoObject square;
  square.points = {{-0.5f, -0.5f, 0.0f}, {0.5f, -0.5f, 0.0f}, {0.5f, 0.5f, 0.0f}, {-0.5f, 0.5f, 0.0f}};
  square.polygons = {{0, 1, 2, 3}};
  std::filesystem::create_directories("duvova/meshes");
  std::string error;
  ASSERT_TRUE(writeLwoFile(basicMeshFile, square, &error)) << error;
}

std::vector<uint8_t> framePixel(int x, int y) {
  std::vector<uint8_t> rgba(4);
  glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  return rgba;
}

}  // namespace

TEST_F(Effects, BasicMeshIsLitWhereTheMeshIsAndBackgroundElsewhere) {
  writeSquareMesh();
  std::vector<uint8_t> white(4 * 4 * 4, 255), flat(4 * 4 * 4, 128);
  makeTexture(false, 4, "white", 4, white.data(), GL_RGBA);
  makeTexture(true, 4, "flatBump", 4, flat.data(), GL_RGBA);
  writeTextFile("fx/mesh.txt", basicMeshScript);
  writeTextFile("timeline.txt", "name = fx/mesh.txt start = 0 end = 10 out = meshOut\n");
  loadEffects("timeline.txt");
  ASSERT_EQ(timeline.effects.size(), 1u);
  Effect& effect = *timeline.effects[0];
  EXPECT_EQ(static_cast<BasicMeshEffect&>(effect).mesh.triangleCount, 2);

  glViewport(0, 0, targetWidth, targetHeight);
  renderEffectFrame(effect, 1.0f, 0.01f);
  // Lit head-on from the eye in the middle; the background's blue at the edge.
  std::vector<uint8_t> centre = framePixel(targetWidth / 2, targetHeight / 2);
  EXPECT_GT(centre[0], 100);
  EXPECT_GT(centre[1], 100);
  std::vector<uint8_t> edge = framePixel(2, 2);
  edge.resize(3);  // the window has no alpha channel
  EXPECT_EQ(edge, (std::vector<uint8_t>{0, 0, 255}));
  std::vector<uint8_t> out = textureContents("meshOut");
  EXPECT_GT(out[(128 * 512 + 256) * 4], 100);

  // An empty "textureOut" copies nothing.
  findVariable(effect.script, "textureOut")->textures[0].clear();
  std::vector<uint8_t> screenBefore = textureContents("screen");
  renderEffectFrame(effect, 2.0f, 0.01f);
  EXPECT_EQ(textureContents("screen"), screenBefore);
}

TEST_F(Effects, ScriptMeshStatementsLoadObjectFiles) {
  writeSquareMesh();
  installResourceLoaders();
  ScriptContext ctx;
  TimelineSection section;
  section.name = "fx/meshes.txt";
  initEffectScript(ctx, section);
  parseScriptBody(ctx, "mesh shapes = \"./duvova/meshes/naamari_meta_open.lwo\", \"nothing.lwo\";");
  Mesh* square = nullptr;
  Mesh* missing = nullptr;
  ASSERT_TRUE(getMesh(ctx, "shapes", &square, 0));
  ASSERT_TRUE(getMesh(ctx, "shapes", &missing, 1));
  EXPECT_EQ(square->triangleCount, 2);
  EXPECT_EQ(missing->triangleCount, 0);  // an unreadable file gives an empty mesh
}

namespace {

// script with the lines that begin with any of the prefixes taken out, or replaced.
std::string edited(std::string script, const std::vector<std::pair<std::string, std::string>>& lines) {
  for (const auto& [prefix, replacement] : lines) {
    size_t at = script.find(prefix);
    if (at == std::string::npos) {
      ADD_FAILURE() << "no line " << prefix;
      continue;
    }
    size_t end = script.find('\n', at);
    script.replace(at, end + 1 - at, replacement.empty() ? "" : replacement + "\n");
  }
  return script;
}

Effect& loadBasicMesh(const std::string& script) {
  writeSquareMesh();
  writeTextFile("fx/mesh.txt", script);
  writeTextFile("timeline.txt", "name = fx/mesh.txt start = 0 end = 10\n");
  loadEffects("timeline.txt");
  EXPECT_EQ(timeline.effects.size(), 1u);
  return *timeline.effects.at(0);
}

}  // namespace

// Each shading and surface value takes the first float of its variable,
// whatever the variable's width, and lands only in its own slot.
TEST_F(Effects, BasicMeshShadingValuesTakeOneFloatEach) {
  Effect& effect = loadBasicMesh(edited(basicMeshScript, {{"float meshSpecAdd", "vec4 meshSpecAdd = vec4(0.25, 9, 9, 9);"},
                                                         {"float meshTexAdd", "vec2 meshTexAdd = vec2(0.5, 9);"},
                                                         {"float meshBump", "float meshBump = 0.75;"},
                                                         {"float meshParallaxBias", "vec4 meshParallaxBias = vec4(0.125, 9, 9, 9);"},
                                                         {"float animFactor", "vec4 animFactor = vec4(1, 9, 9, 9);"}}));
  glViewport(0, 0, targetWidth, targetHeight);
  renderEffectFrame(effect, 1.0f, 0.01f);
  const float shading[4] = {8, 0, 0.25f, 0.5f}, surface[4] = {0.75f, 1, 0, 0.125f};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(gpu.phongShading[i], shading[i]) << "shading " << i;
    EXPECT_EQ(gpu.phongSurface[i], surface[i]) << "surface " << i;
  }
}

// The shading values are read before the surface values: the first missing
// one of those is the one named.
TEST_F(Effects, BasicMeshNamesTheFirstMissingShadingValue) {
  Effect& effect = loadBasicMesh(edited(basicMeshScript, {{"float meshSpecMul", ""}, {"float meshBump", ""}}));
  setFatalHandler(throwFatal);
  FatalCall call{"", "", 0};
  try {
    renderEffectFrame(effect, 1.0f, 0.01f);
  } catch (const FatalCall& fatal) {
    call = fatal;
  }
  setFatalHandler(nullptr);
  unbindPrograms();
  EXPECT_EQ(call.caption, "RUNTIME EFFECT ERROR");
  EXPECT_NE(call.text.find("float meshSpecMul"), std::string::npos) << call.text;
}
