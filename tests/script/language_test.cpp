// Golden tables for the language: (script, variable, every stored word
// after the set-up run), plus chunking, comments and lines.
#include <cmath>

#include "tests/script/script_fixture.h"

namespace {

struct ValueCase {
  const char* script;
  const char* variable;
  std::vector<float> expected;
};

void expectValues(const std::vector<ValueCase>& cases) {
  for (const ValueCase& c : cases) {
    ScriptContext ctx = loadScript(c.script);
    std::vector<float> got = words(ctx, c.variable);
    ASSERT_EQ(got.size(), c.expected.size()) << c.script;
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_NEAR(got[i], c.expected[i], 1e-5f) << c.script << "\n word " << i;
    }
  }
}

using Language = ScriptTest;

TEST_F(Language, ChunksEndAtSemicolonsAndBracesEvenInsideComments) {
  std::vector<std::string_view> chunks = cutChunks("x = 1; // set x; y = 2;tail");
  ASSERT_EQ(chunks.size(), 3u);
  EXPECT_EQ(chunks[0], "x = 1;");
  EXPECT_EQ(chunks[1], " // set x;");
  EXPECT_EQ(chunks[2], " y = 2;");  // "tail" belongs to no chunk

  std::vector<std::string_view> cut = cutChunks("a\xff" "b{c}\xff");
  ASSERT_EQ(cut.size(), 4u);
  EXPECT_EQ(cut[0], "a");
  EXPECT_EQ(cut[1], "b{");
  EXPECT_EQ(cut[2], "c}");
  EXPECT_EQ(cut[3], "");
}

TEST_F(Language, StatementsBehindACommentedSemicolonStillRun) {
  ScriptContext ctx = loadScript("float x; float y;\nx = 1; // set x; y = 2;\n");
  EXPECT_EQ(words(ctx, "x"), std::vector<float>{1.0f});
  EXPECT_EQ(words(ctx, "y"), std::vector<float>{2.0f});
}

TEST_F(Language, SlashesInsideAStringCutTheRestOfItsLine) {
  ScriptContext ctx = loadScript("string s = \"a//b\"\n;");
  std::string text;
  getText(ctx, "s", &text, 0);
  EXPECT_EQ(text, "a\n");
}

TEST_F(Language, BlankAndCommentChunksAreIgnoredButTheirLinesCount) {
  // The failing statement ends on line 5: two comment chunks, a blank chunk
  // and an empty statement come before it.
  FatalCall call = failureOf("// one;\n// two;\n ;\n\n undefined = 1;");
  EXPECT_EQ(call.text.substr(0, 23), "Error on line 5, col 13");
}

TEST_F(Language, AStatementOverThreeLinesReportsTheThird) {
  FatalCall call = failureOf("float x;\nx = 1 +\n\n  b;");
  EXPECT_EQ(call.text, "Error on line 4, col13:\n\nx = 1 +\n\n  b;\n\nVariable named b not found.");
}

TEST_F(Language, Expressions) {
  expectValues({
      {"float x = 1 + 2 * 3;", "x", {9}},
      {"float x = 1 + (2 * 3);", "x", {7}},
      {"float x = -5;", "x", {-5}},
      {"float x = 2 * -3;", "x", {-1}},  // "-" replaces the pending "*"
      {"float x = 2 3;", "x", {5}},      // the add is still pending
      {"float x = 2 * 3 4;", "x", {24}}, // and so is the multiply
      {"float x = 6 / 4;", "x", {1.5f}},
      {"vec3 v = vec3(1, 2, 3) * 2;", "v", {2, 4, 6}},
      {"vec3 v = 2;", "v", {2, 2, 2}},
      {"vec4 p = vec4(1, 2, 3, 4); vec2 v = p;", "v", {1, 2}},
      {"vec3 v = vec3(1, 2, 3); float f = v;", "f", {1}},
      {"vec3 p = vec3(1, 2, 3); vec3 q = vec3(10, 20, 30); vec3 v = (p + q) * 0.5;", "v", {5.5f, 5.5f, 5.5f}},
      {"vec3 p = vec3(1, 2, 3); vec3 q = vec3(10, 20, 30); vec3 v = p + q;", "v", {11, 22, 33}},
      {"vec3 p = vec3(1, 2, 3); float f = 2 * p;", "f", {2}},  // a float target reads only x
      {"float a = 4; float x = a ;", "x", {4}},
      {"float x = 2.5e1;", "x", {25}},
      {"float x = .5;", "x", {0.5f}},
      {"float x = 3abc;", "x", {3}},
      {"float x = \"7\";", "x", {7}},  // a quote is passed over
      {"int n = 2.9;", "n", {2}},
      {"int n = -2.9;", "n", {-2}},
      {"int n = 7 / 2;", "n", {3}},
      {"int i = 3; float x = i / 2;", "x", {1.5f}},
  });
}

TEST_F(Language, VariablesAndAliases) {
  expectValues({
      {"vec3 p; p.y = 2;", "p", {0, 2, 0}},
      {"vec2 q[3]; q.y[2] = 5;", "q", {0, 0, 0, 0, 0, 5}},
      {"vec2 q[3]; q[1] = vec2(1, 2);", "q", {0, 0, 1, 2, 0, 0}},
      {"vec4 p = vec4(1, 2, 3, 4); float x = p.w + p.x;", "x", {5}},
      {"int x[3]; x[1] = 5;", "x", {0, 5, 0}},
      {"int x[3]; x[4] = 5;", "x", {0, 5, 0}},  // 4 mod 3
      {"int k = -1; int x[3]; x[k] = 4;", "x", {4, 0, 0}},  // 4294967295 mod 3 = 0
      {"int k = 5; int x[3]; x[k] = 4;", "x", {0, 0, 4}},
      {"float i = 2.7; float a[3]; a[i] = 1;", "a", {0, 0, 1}},
      {"float a[3]; a[2] = 6; float i = 2.7; float x = a[i];", "x", {6}},
      {"float a[3]; a[0] = 6; vec3 i = 2; float x = a[i];", "x", {6}},  // a vector subscript reads element 0
      {"float a[3]; a[1] = 6; float x = a[1+1];", "x", {6}},  // only the first token of a subscript counts
  });
}

TEST_F(Language, TheSizeFromAVariableIsItsValueAtLoad) {
  TimelineSection section = testSection();
  section.params = {2.0f, 3.5f};
  ScriptContext ctx = loadScript("float a[paramIn1]; float b[paramIn0];", section);
  EXPECT_EQ(findVariable(ctx, "a")->count, 3);
  EXPECT_EQ(findVariable(ctx, "b")->count, 2);
}

TEST_F(Language, AliasesViewTheVectorsStorage) {
  ScriptContext ctx = loadScript("vec2 q[3];");
  Variable* y = findVariable(ctx, "q.y");
  ASSERT_NE(y, nullptr);
  EXPECT_EQ(y->type, varFloat);
  EXPECT_EQ(y->count, 3);
  EXPECT_EQ(y->stride, 2);
  EXPECT_EQ(y->floats + 4, findVariable(ctx, "q")->floats + 5);  // element 2 of q.y is the sixth float
  EXPECT_EQ(findVariable(ctx, "q.z"), nullptr);
}

TEST_F(Language, AnAliasReplacesAVariableOfItsNameWhoseStatementsGoOn) {
  ScriptContext ctx = loadScript("float p.x = 5; float y = p.x; vec3 p; p.x = 7; float z = p.x;");
  EXPECT_EQ(words(ctx, "p"), (std::vector<float>{7, 0, 0}));
  EXPECT_EQ(words(ctx, "y"), std::vector<float>{5.0f});  // the old p.x, still alive
  EXPECT_EQ(words(ctx, "z"), std::vector<float>{7.0f});
  EXPECT_TRUE(findVariable(ctx, "p.x")->isAlias);
}

TEST_F(Language, VariablesBelongToOneContext) {
  ScriptContext a = loadScript("float only = 1;");
  ScriptContext b = loadScript("float x;");
  EXPECT_NE(findVariable(a, "only"), nullptr);
  EXPECT_EQ(findVariable(b, "only"), nullptr);
}

TEST_F(Language, BuiltInVariables) {
  TimelineSection section = testSection();
  section.start = 12.0f;
  section.end = 20.5f;
  section.params = {1.0f, 3.0f};
  section.outputs = {"glow", "back"};
  ScriptContext ctx = loadScript("", section);
  const char* order[] = {"frame", "time", "timeStep", "start", "length", "end", "paramIn0", "paramIn1", "textureOut"};
  ASSERT_EQ(ctx.declared.size(), 9u);
  for (size_t i = 0; i < 9; ++i) EXPECT_EQ(ctx.declared[i]->name, order[i]);
  EXPECT_EQ(words(ctx, "start"), std::vector<float>{12.0f});
  EXPECT_EQ(words(ctx, "length"), std::vector<float>{8.5f});
  EXPECT_EQ(words(ctx, "paramIn1"), std::vector<float>{3.0f});
  std::string out;
  getText(ctx, "textureOut", &out, 0);
  EXPECT_EQ(out, "glow");
  EXPECT_EQ(ctx.effectName, "fx/test.txt");

  ScriptContext plain = loadScript("");
  getText(plain, "textureOut", &out, 0);
  EXPECT_EQ(out, "screen");
}

TEST_F(Language, FramesSetTimeAndCountFrames) {
  ScriptContext ctx = loadScript("float seen = time; float step = timeStep; int f = frame;");
  runScriptFrame(ctx, 1.5f, 0.25f);
  runScriptFrame(ctx, 2.0f, 0.5f);
  EXPECT_EQ(words(ctx, "seen"), std::vector<float>{2.0f});
  EXPECT_EQ(words(ctx, "step"), std::vector<float>{0.5f});
  EXPECT_EQ(words(ctx, "f"), std::vector<float>{2.0f});
}

TEST_F(Language, ConditionsAndLoops) {
  expectValues({
      {"vec2 a = vec2(0.6, 0); float x; if (a.x > 0.5) { x = 1; }", "x", {1}},
      {"vec2 a = vec2(0.4, 0); float x; if (a.x > 0.5) { x = 1; }", "x", {0}},
      {"int v[3]; v[2] = 3; int i = 2; float x; if (v[i] == 3) { x = 1; }", "x", {1}},
      {"int v[3]; v[2] = 3; float i = 2.9; float x; if (v[i] == 3) { x = 1; }", "x", {1}},
      {"float a = 1; float b = 2; float x; if (a<b) { x = 1; }", "x", {1}},
      {"float a = 1; float x; if (a <= 1) { x = 1; }", "x", {1}},
      {"float a = 1; float x; if (a >= 2) { x = 1; }", "x", {0}},
      {"float a = 1; float x; if (a != 2) { x = 1; }", "x", {1}},
      {"float a = 0 / 0; float x; if (a != a) { x = 1; }", "x", {1}},  // NaN
      {"float a = 0 / 0; float x = 2; if (a == a) { x = 1; }", "x", {2}},
      {"vec3 v = 5; float x; if (v > 1) { x = 1; }", "x", {0}},  // a vector operand reads as 0
      {"int i; int n; while (i < 10) { i = i + 1; n = n + 2; }", "n", {20}},
      {"int i; int n; while (i < 3) { i = i + 1; int j = 0; while (j < 4) { j = j + 1; n = n + 1; } }", "n", {12}},
      {"float x; if (1 < 2) { if (2 < 1) { x = 5; } x = x + 1; } x = x + 10;", "x", {11}},
  });
}

TEST_F(Language, AHeaderWithoutBraceOwnsEverythingUpToTheNextClosingChunk) {
  // "x = 1" after the header is never parsed; y and z belong to the sub-section.
  ScriptContext ctx = loadScript("float x; float y; float z; if (2 < 1) x = 1; y = 1; z = 1; } x = 3;");
  EXPECT_EQ(words(ctx, "x"), std::vector<float>{3.0f});
  EXPECT_EQ(words(ctx, "y"), std::vector<float>{0.0f});
  EXPECT_EQ(words(ctx, "z"), std::vector<float>{0.0f});
}

TEST_F(Language, DeclarationsInsideASubSectionExistFromLoadButAssignOnlyWhenItRuns) {
  ScriptContext ctx = loadScript("if (time > 1) { float a = time; }");
  EXPECT_EQ(words(ctx, "a"), std::vector<float>{0.0f});
  runScriptFrame(ctx, 0.5f, 0.5f);
  EXPECT_EQ(words(ctx, "a"), std::vector<float>{0.0f});
  runScriptFrame(ctx, 2.0f, 1.5f);
  EXPECT_EQ(words(ctx, "a"), std::vector<float>{2.0f});
}

TEST_F(Language, WhileLoopsRestartEveryRun) {
  ScriptContext ctx = loadScript("int i; int runs; i = 0; while (i < 10) { i = i + 1; runs = runs + 1; }");
  runScriptFrame(ctx, 1.0f, 1.0f);
  EXPECT_EQ(words(ctx, "runs"), std::vector<float>{20.0f});
}

TEST_F(Language, AWhileLimitStopsALoopThatNeverEnds) {
  ScriptContext ctx = loadScript("int n; while (1 < 2) { n = n + 1; }", testSection(), false);
  ctx.whileIterationLimit = 50;
  runBlock(ctx);
  EXPECT_EQ(words(ctx, "n"), std::vector<float>{50.0f});

  // The limit covers every loop of the run, nested ones included.
  ScriptContext nested = loadScript("int n; while (1 < 2) { while (1 < 2) { n = n + 1; } }", testSection(), false);
  nested.whileIterationLimit = 50;
  runBlock(nested);
  EXPECT_EQ(words(nested, "n"), std::vector<float>{49.0f});
}

TEST_F(Language, IgnoredStatements) {
  // ";;", a bare name, a name without "=" (even undefined) and a bare call
  // leave everything as it was.
  ScriptContext ctx = loadScript("float x = 1;; x; nothing; sin(1); 5;");
  EXPECT_EQ(words(ctx, "x"), std::vector<float>{1.0f});
}

TEST_F(Language, AnEmptyNameIsAName) {
  // "float ;" declares the empty name, which an empty operand then finds.
  ScriptContext ctx = loadScript("float ; float x = 2  ;");
  EXPECT_EQ(words(ctx, "x"), std::vector<float>{2.0f});
}

}  // namespace
