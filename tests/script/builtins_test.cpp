// The built-in functions through scripts, and the scalar functions and the
// random sequence that effects share with them.
#include <cmath>
#include <cstring>

#include "script/scalar.h"
#include "tests/script/script_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

using Builtins = ScriptTest;

struct FloatCase {
  const char* expression;  // stored into the float x
  float expected;
};

float valueOf(const std::string& declarations, const char* expression) {
  ScriptContext ctx = loadScript(declarations + " float x = " + expression + ";");
  return findVariable(ctx, "x")->floats[0];
}

TEST_F(Builtins, ScalarBuiltins) {
  const float k = 3.0518509447574615e-05f;
  const FloatCase cases[] = {
      {"linearOn(-1, 2)", 0.0f},
      {"linearOn(1, 2)", 0.5f},
      {"linearOn(3, 2)", 1.0f},
      {"linearOn(1, 0)", 1.0f},
      {"linearOff(1, 4)", 0.75f},
      {"linearOff(-1, 4)", 1.0f},
      {"smooth(0.5)", 0.5f},
      {"smooth(2)", 1.0f},
      {"smooth(-1)", 0.0f},
      {"smoothOn(0.5, 2)", 0.143555f},   // falloff of 0.75
      {"smoothOff(0.5, 2)", 0.854492f},  // falloff of 0.25
      {"linearPulse(5, 1, 4, 2)", 0.5f},  // fully risen, half fallen
      {"linearPulse(0.5, 1, 4, 2)", 0.5f},
      {"smoothPulse(5, 1, 4, 10)", 0.0231040f},  // falloff of the pulse value 0.9
      {"smoothPulse(-1, 1, 4, 10)", 1.0f},
      {"atan(1, -1)", 2.3561945f},  // 3 pi / 4, not -3 pi / 4
      {"atan(-1, 0)", -1.5707964f},
      {"atan(1, 1)", 0.7853982f},
      {"pow(-2, 2)", -4.0f},
      {"pow(2, 3)", 8.0f},
      {"pow(0, 0)", -1.0f},
      {"mod(-1.25)", -0.25f},
      {"mod(2.75)", 0.75f},
      {"unit(0)", 1.0f},
      {"unit(-0.1)", 0.0f},
      {"sqrt(9)", 3.0f},
      {"cos(0)", 1.0f},
      {"3 * sin(1.5)", 3.0f * std::sin(1.5f)},
      {"sin(1.5) * 3", 3.0f * std::sin(1.5f)},
      {"10 - sin(0) * 2", 20.0f},  // the pending "-" applies to sin, then "*" to 2
      {"srand(1) + randf()", 41 * k},  // the first draw after seeding 1 is 41
      {"srand(1) + randfs()", (41 * k - 0.5f) * 2.0f},
      {"srand(4294967296) + randf()", 38 * k},  // low 32 bits of the seed: 0
      {"srand(-1) + randf()", 35 * k},          // seed 0xFFFFFFFF
  };
  for (const FloatCase& c : cases) EXPECT_NEAR(valueOf("", c.expression), c.expected, 2e-6f) << c.expression;
  EXPECT_TRUE(std::isnan(valueOf("", "sqrt(-1)")));
}

TEST_F(Builtins, RandomDrawsComeFromTheOneSequence) {
  ScriptContext ctx = loadScript("float a; float b; srand(7); a = randf(); b = randf();");
  seedRandom15(7);
  const float k = 3.0518509447574615e-05f;
  EXPECT_EQ(findVariable(ctx, "a")->floats[0], random15() * k);
  EXPECT_EQ(findVariable(ctx, "b")->floats[0], random15() * k);
  uint32_t bits;
  std::memcpy(&bits, &k, 4);
  EXPECT_EQ(bits, 0x38000100u);
}

TEST_F(Builtins, ReplacingBuiltinsIgnoreWhatCameBefore) {
  const std::string vectors = "vec3 a = vec3(1, 2, 3); vec3 b = vec3(4, 5, 6); vec2 c = vec2(1, 2); vec2 d = vec2(3, 4);";
  EXPECT_EQ(valueOf(vectors, "10 - dot(a, b)"), 32.0f);
  EXPECT_EQ(valueOf(vectors, "dot(c, d) + 1"), 12.0f);
  EXPECT_EQ(valueOf(vectors, "5 + dot(1, 2)"), 5.0f);  // no variable behind the argument
  EXPECT_EQ(valueOf("int i = 2;", "5 + dot(i, i)"), 5.0f);

  ScriptContext ctx = loadScript(vectors + " vec3 x = 7 + cross(a, b); vec3 y = 7 + cross(c, d);"
                                           " vec3 r = rotate(vec3(1, 0, 0), 1.5707963, 2);"
                                           " vec3 s = rotate(vec3(0, 1, 0), 1.5707963, 0);"
                                           " vec3 t = 1 + rotate(vec3(1, 2, 3), 1, 3);");
  EXPECT_EQ(words(ctx, "x"), (std::vector<float>{-3, 6, -3}));
  EXPECT_EQ(words(ctx, "y"), (std::vector<float>{7, 7, 7}));  // cross needs a vec3
  std::vector<float> r = words(ctx, "r");
  EXPECT_NEAR(r[0], 0.0f, 1e-6f);
  EXPECT_NEAR(r[1], 1.0f, 1e-6f);
  EXPECT_NEAR(r[2], 0.0f, 1e-6f);
  std::vector<float> s = words(ctx, "s");
  EXPECT_NEAR(s[1], 0.0f, 1e-6f);
  EXPECT_NEAR(s[2], -1.0f, 1e-6f);
  EXPECT_EQ(words(ctx, "t"), (std::vector<float>{0, 0, 0}));  // no such axis
}

TEST_F(Builtins, VectorConstructorsCombineIntoTheirComponents) {
  ScriptContext ctx = loadScript("vec4 v = 1 + vec4(1, 2, 3, 4); vec4 w = 2 * vec2(1, 2); vec3 z = vec3(1, 2, 3) + vec3(1, 1, 1);");
  EXPECT_EQ(words(ctx, "v"), (std::vector<float>{2, 3, 4, 5}));
  EXPECT_EQ(words(ctx, "w"), (std::vector<float>{2, 4, 2, 2}));  // z and w keep the broadcast 2
  EXPECT_EQ(words(ctx, "z"), (std::vector<float>{2, 3, 4}));
}

TEST_F(Builtins, CurvePositionsAndTangents) {
  ScopedTempDir dir;
  writeTextFile("line.crv", "0,0,0,0,0\n1,0,1,0,0\n2,0,2,0,0\n3,0,3,0,0\n4,0,4,0,0\n");
  writeTextFile("up.crv", "0,0,0,0,0\n1,0,0,1,0\n2,0,0,2,0\n3,0,0,3,0\n4,0,0,4,0\n");
  ScriptContext ctx = loadScript(
      "curve c = \"line.crv\" \"up.crv\"; int k = 1; curve none;"
      " vec3 p = curvePos(c, 1.5); vec3 q = curvePos(c[k], 1.5); vec3 t = curveTan(c[1], 2);"
      " vec3 o = vec3(10, 0, 0) + curvePos(c, 2); vec3 o2 = curvePos(c, 2) + vec3(10, 0, 0);"
      " vec3 e = 1 + curvePos(none, 1); vec3 n = 1 + curvePos(5, 1);");
  EXPECT_NEAR(words(ctx, "p")[0], 1.5f, 1e-6f);
  EXPECT_NEAR(words(ctx, "q")[1], 1.5f, 1e-6f);
  EXPECT_EQ(words(ctx, "q")[0], 0.0f);
  std::vector<float> t = words(ctx, "t");
  EXPECT_NEAR(t[1], 1.0f, 1e-5f);
  EXPECT_EQ(words(ctx, "o"), (std::vector<float>{2, 0, 0}));
  EXPECT_EQ(words(ctx, "o2"), (std::vector<float>{12, 0, 0}));
  EXPECT_EQ(words(ctx, "e"), (std::vector<float>{1, 1, 1}));  // an empty curve list changes nothing
  EXPECT_EQ(words(ctx, "n"), (std::vector<float>{1, 1, 1}));  // nor does a number
  EXPECT_EQ(findVariable(ctx, "c")->count, 2);
}

TEST(ScalarFunctions, Definitions) {
  EXPECT_EQ(softFalloff(0.0f, 2.0f), 1.0f);
  EXPECT_EQ(softFalloff(2.0f, 2.0f), 0.0f);
  EXPECT_NEAR(softFalloff(1.0f, 2.0f), 0.5f, 1e-6f);
  EXPECT_EQ(softFalloff(NAN, 1.0f), 0.0f);
  EXPECT_EQ(rampPulse(1.5f, 1.0f, 1.0f, 3.0f, 2.0f), 0.5f);
  EXPECT_EQ(rampPulse(4.0f, 1.0f, 1.0f, 3.0f, 2.0f), 0.5f);
  EXPECT_EQ(clamp01(-0.5f), 0.0f);
  EXPECT_EQ(clamp01(1.5f), 1.0f);
  EXPECT_EQ(clamp01(0.25f), 0.25f);
  EXPECT_EQ(wrap01(2.25f), 0.25f);
  EXPECT_EQ(wrap01(-0.25f), 0.75f);
  EXPECT_EQ(wrap01(-1.0f), 1.0f);
  EXPECT_EQ(powSigned(-2.0f, 2.0f, false), 4.0f);
  EXPECT_EQ(powSigned(-2.0f, 3.0f, true), -8.0f);
  float negativeZero = powSigned(0.0f, 2.0f, true);
  EXPECT_EQ(negativeZero, 0.0f);
  EXPECT_TRUE(std::signbit(negativeZero));
  EXPECT_EQ(intPowSigned(3, true, -2.0f), -8.0f);
  EXPECT_EQ(intPowSigned(3, false, -2.0f), 8.0f);
  EXPECT_EQ(intPowSigned(0, false, 5.0f), 5.0f);
  EXPECT_EQ(stepAtZero(-0.0f), 1.0f);
  EXPECT_EQ(atanRatio(0.0f, 0.0f), 1.5707963705062866f);
  EXPECT_NEAR(atanRatio(-1.0f, -1.0f), 3.926991f, 1e-6f);
}

TEST(ScalarFunctions, Random15) {
  seedRandom15(1);
  EXPECT_EQ(random15(), 41);
  EXPECT_EQ(random15(), 18467);
  EXPECT_EQ(random15(), 6334);
  seedRandom15(0);
  EXPECT_EQ(random15(), 38);
}

}  // namespace
