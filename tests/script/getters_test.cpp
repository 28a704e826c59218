// The typed getters: what they write, what they leave alone, and the
// run-time error for a missing variable.
#include <functional>

#include "tests/script/script_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

using Getters = ScriptTest;

const char* const script =
    "float glowFactor = 2; int count[3]; count[2] = 7; vec3 p = vec3(1, 2, 3); vec2 q[2]; q[1] = vec2(5, 6);"
    " int asInt = 4; string label = \"hello world\"; texture pics = \"a\" \"b\"; curve path;";

TEST_F(Getters, ReadByType) {
  ScriptContext ctx = loadScript(script);
  float f[4] = {9, 9, 9, 9};
  EXPECT_TRUE(getFloats(ctx, "glowFactor", f));
  EXPECT_EQ(f[0], 2.0f);
  EXPECT_EQ(f[1], 9.0f);

  float v[4] = {9, 9, 9, 9};
  EXPECT_TRUE(getFloats(ctx, "p", v));
  EXPECT_EQ(v[0], 1.0f);
  EXPECT_EQ(v[2], 3.0f);
  EXPECT_EQ(v[3], 9.0f);  // a vec3 writes three floats
  EXPECT_TRUE(getFloatsAt(ctx, "q", v, 1));
  EXPECT_EQ(v[0], 5.0f);
  EXPECT_EQ(v[1], 6.0f);
  EXPECT_TRUE(getFloatsAt(ctx, "q.y", v, 1));
  EXPECT_EQ(v[0], 6.0f);

  int32_t n = -1;
  EXPECT_TRUE(getIntAt(ctx, "count", &n, 2));
  EXPECT_EQ(n, 7);
  EXPECT_TRUE(getInt(ctx, "asInt", &n));
  EXPECT_EQ(n, 4);

  std::string text;
  EXPECT_TRUE(getText(ctx, "label", &text, 3));  // a string ignores the index
  EXPECT_EQ(text, "hello world");
  EXPECT_TRUE(getText(ctx, "pics", &text, 1));
  EXPECT_EQ(text, "b");
  char small[6] = "xxxxx";
  EXPECT_TRUE(getText(ctx, "label", small, sizeof small, 0));
  EXPECT_STREQ(small, "hello");  // cut to the caller's buffer
}

TEST_F(Getters, AnotherTypeLeavesTheOutputAlone) {
  ScriptContext ctx = loadScript(script);
  float f[4] = {9, 9, 9, 9};
  EXPECT_FALSE(getFloats(ctx, "asInt", f));
  EXPECT_EQ(f[0], 9.0f);
  int32_t n = -1;
  EXPECT_FALSE(getInt(ctx, "glowFactor", &n));
  EXPECT_EQ(n, -1);
  std::string text = "kept";
  EXPECT_FALSE(getText(ctx, "p", &text, 0));
  EXPECT_EQ(text, "kept");
  const Curve* curve = nullptr;
  EXPECT_FALSE(getCurve(ctx, "label", &curve, 0));
  Mesh* mesh = nullptr;
  EXPECT_FALSE(getMesh(ctx, "path", &mesh, 0));
}

TEST_F(Getters, AMissingVariableEndsTheProgramNamingItAndTheFile) {
  ScriptContext ctx = loadScript(script);
  float f[4];
  int32_t n;
  std::string text;
  const Curve* curve;
  Material* material;
  Mesh* mesh;
  struct Case {
    std::function<void()> call;
    const char* text;
  };
  const Case cases[] = {
      {[&] { getFloats(ctx, "nothing", f); }, "Missing variable  \n float nothing\n\n from\n fx/test.txt\n\n"},
      {[&] { getFloatsAt(ctx, "nothing", f, 0); }, "Missing variable  \n float nothing\n\n from\n fx/test.txt\n\n"},
      {[&] { getInt(ctx, "nothing", &n); }, "Missing variable  \n int nothing\n\n from\n fx/test.txt\n\n"},
      {[&] { getIntAt(ctx, "nothing", &n, 0); }, "Missing variable  \n int nothing\n\n from\n fx/test.txt\n\n"},
      {[&] { getText(ctx, "nothing", &text, 0); }, "Missing variable  \n texture nothing\n\n from\n fx/test.txt\n\n"},
      {[&] { getCurve(ctx, "nothing", &curve, 0); }, "Missing variable  \n curve nothing\n\n from\n fx/test.txt\n\n"},
      {[&] { getMaterial(ctx, "nothing", &material, 0); }, "Missing variable  \n material nothing\n\n from\n fx/test.txt\n\n"},
      {[&] { getMesh(ctx, "nothing", &mesh, 0); }, "Missing variable  \n mesh nothing\n\n from\n fx/test.txt\n\n"},
      // Indices past the end are this implementation's choice of message.
      {[&] { getIntAt(ctx, "count", &n, 3); }, "Index 3 out of range  \n int count has 3 items\n\n from\n fx/test.txt\n\n"},
      {[&] { getFloatsAt(ctx, "q", f, -1); }, "Index -1 out of range  \n vec2 q has 2 items\n\n from\n fx/test.txt\n\n"},
      {[&] { getText(ctx, "pics", &text, 2); }, "Index 2 out of range  \n texture pics has 2 items\n\n from\n fx/test.txt\n\n"},
      {[&] { getCurve(ctx, "path", &curve, 0); }, "Index 0 out of range  \n curve path has 0 items\n\n from\n fx/test.txt\n\n"},
  };
  for (const Case& c : cases) {
    try {
      c.call();
      ADD_FAILURE() << "no error for " << c.text;
    } catch (const FatalCall& call) {
      EXPECT_EQ(call.caption, "RUNTIME EFFECT ERROR");
      EXPECT_EQ(call.text, c.text);
      EXPECT_EQ(call.exitStatus, -1);
    }
  }
}

TEST_F(Getters, CurvesFromTheScript) {
  ScopedTempDir dir;
  writeTextFile("a.crv", "1\n0,0,1,2,3\n");
  ScriptContext ctx = loadScript("curve c = \"a.crv\";");
  const Curve* curve = nullptr;
  EXPECT_TRUE(getCurve(ctx, "c", &curve, 0));
  ASSERT_NE(curve, nullptr);
  EXPECT_EQ(curve->closed, 1);
  EXPECT_EQ(curve->points[0].z, 3.0f);
}

}  // namespace
