// Value lists of the resource types: what is appended and which loader is
// asked for what, at load time only.
#include "tests/script/script_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

struct LoaderCalls {
  std::vector<std::string> calls;
  int dummy = 0;  // what the recorded meshes and materials point at
};
LoaderCalls recorded;

Mesh* dummyMesh() { return reinterpret_cast<Mesh*>(&recorded.dummy); }
Material* dummyMaterial() { return reinterpret_cast<Material*>(&recorded.dummy); }

ScriptResourceLoaders recordingLoaders() {
  ScriptResourceLoaders loaders;
  loaders.loadMesh = [](const std::string& file) {
    recorded.calls.push_back("mesh " + file);
    return std::shared_ptr<Mesh>(dummyMesh(), [](Mesh*) {});
  };
  loaders.loadMaterial = [](const std::string& file) {
    recorded.calls.push_back("material " + file);
    return std::shared_ptr<Material>(dummyMaterial(), [](Material*) {});
  };
  loaders.loadPngTexture = [](int normalMap, const std::string& name, const std::string& file, float saturation) {
    recorded.calls.push_back("png " + std::to_string(normalMap) + " " + name + " " + file + " " + std::to_string(saturation));
  };
  loaders.loadJpegTexture = [](int normalMap, const std::string& name, const std::string& file) {
    recorded.calls.push_back("jpeg " + std::to_string(normalMap) + " " + name + " " + file);
  };
  loaders.makeTexture = [](const std::string& name, int width, int height) {
    recorded.calls.push_back("make " + name + " " + std::to_string(width) + " " + std::to_string(height));
  };
  return loaders;
}

class Resources : public ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    recorded.calls.clear();
    setScriptResourceLoaders(recordingLoaders());
  }
};

std::vector<std::string> textureNames(const ScriptContext& ctx, const char* name) {
  return findVariable(ctx, name)->textures;
}

struct TextureCase {
  const char* script;
  std::vector<std::string> names;
  std::vector<std::string> calls;
};

TEST_F(Resources, TextureLists) {
  const TextureCase cases[] = {
      {"texture t = \"in0\";", {"back"}, {}},
      {"texture t = \"in2\";", {""}, {}},  // the entry lists two inputs
      {"texture t = \"in1\" \"in9\", \"plain\";", {"glow", "in9", "plain"}, {}},
      {"texture t = textureLoad(\"pics/a.jpg\");", {"pics/a.jpg"}, {"jpeg 0 pics/a.jpg pics/a.jpg"}},
      {"texture t = textureLoad(\"b.png\", \"bump\", 1, 2.0);", {"bump"}, {"png 1 bump b.png 2.000000"}},
      {"texture t = textureLoad(\"b.png\", \"\", x, y);", {"b.png"}, {"png 1 b.png b.png 1.000000"}},
      {"texture t = textureLoad(\"c.png.jpg\");", {"c.png.jpg"}, {"png 0 c.png.jpg c.png.jpg 1.000000"}},
      {"texture t = textureMake(\"rt\", 256, 128);", {"rt"}, {"make rt 256 128"}},
      {"texture t = textureMake(\"rt\");", {"rt"}, {"make rt 0 0"}},
      {"texture t = textureMake(\"rt\", w, 64x);", {"rt"}, {"make rt 0 64"}},
      {"texture t = \"in0\" textureMake(\"rt\", 8);", {"back", "rt"}, {"make rt 8 0"}},
  };
  TimelineSection section = testSection();
  section.inputs = {"back", "glow"};
  for (const TextureCase& c : cases) {
    recorded.calls.clear();
    ScriptContext ctx = loadScript(c.script, section);
    EXPECT_EQ(textureNames(ctx, "t"), c.names) << c.script;
    EXPECT_EQ(recorded.calls, c.calls) << c.script;
  }
}

TEST_F(Resources, ListsLoadAtParseTimeOnlyAndLaterAssignmentsAppend) {
  ScriptContext ctx = loadScript("mesh m = \"a.lwo\"; material s = \"x.mat\" \"y.mat\"; if (1 < 0) { m = \"b.lwo\"; }");
  EXPECT_EQ(recorded.calls, (std::vector<std::string>{"mesh a.lwo", "material x.mat", "material y.mat", "mesh b.lwo"}));
  runScriptFrame(ctx, 1.0f, 1.0f);
  EXPECT_EQ(recorded.calls.size(), 4u);
  Mesh* mesh = nullptr;
  EXPECT_TRUE(getMesh(ctx, "m", &mesh, 1));
  EXPECT_EQ(mesh, dummyMesh());
  Material* material = nullptr;
  EXPECT_TRUE(getMaterial(ctx, "s", &material, 1));
  EXPECT_EQ(material, dummyMaterial());
}

TEST_F(Resources, WithoutLoadersStatementsStillParse) {
  setScriptResourceLoaders(ScriptResourceLoaders{});
  ScriptContext ctx = loadScript("mesh m = \"a.lwo\"; material s = \"x.mat\"; texture t = textureLoad(\"p.png\"); float x = 1;");
  EXPECT_TRUE(findVariable(ctx, "m")->meshes.empty());
  EXPECT_TRUE(findVariable(ctx, "s")->materials.empty());
  EXPECT_EQ(textureNames(ctx, "t"), std::vector<std::string>{"p.png"});
  EXPECT_EQ(findVariable(ctx, "x")->floats[0], 1.0f);
}

TEST_F(Resources, CurvesAndStrings) {
  ScopedTempDir dir;
  writeTextFile("a.crv", "0,0,1,2,3\n");
  writeTextFile("datapack.dat", "");  // no pack records: a missing file reads as empty, quietly
  ScriptContext ctx = loadScript(
      "curve c = \"a.crv\" \"missing.crv\"; curve d = \"a.crv\", \"a.crv\"; d = \"a.crv\";"
      " string s = \"first\" \"second\"; string e;");
  const Variable& c = *findVariable(ctx, "c");
  ASSERT_EQ(c.curves.size(), 2u);  // a missing file still gives a curve
  EXPECT_EQ(c.curves[0]->pointCount, 1);
  EXPECT_EQ(c.curves[1]->pointCount, 0);
  EXPECT_EQ(findVariable(ctx, "d")->curves.size(), 3u);
  std::string text = "unchanged";
  getText(ctx, "s", &text, 5);
  EXPECT_EQ(text, "second");
  getText(ctx, "e", &text, 0);
  EXPECT_EQ(text, "");
}

}  // namespace
