// Parse errors: (script, the whole message text). Every one has the caption
// "ERROR" and exit status -1; the column is an offset into the cleaned chunk.
#include "tests/script/script_fixture.h"

namespace {

struct ErrorCase {
  const char* script;  // the last chunk is the one that fails
  const char* text;
};

using Errors = ScriptTest;

// Each script starts with these declarations in a chunk of their own.
const char* const declarations = "float x; float a; float b;";

TEST_F(Errors, MessagesWithLineAndColumn) {
  const ErrorCase cases[] = {
      {"x = sin(1, 2);", "Error on line 1, col 9:\nx = sin(1, 2);\n\nUnexpected comma separator. Too many function parameters?"},
      {"x = a, b;", "Error on line 1, col 5:\nx = a, b;\n\nUnexpected comma separator. Too many function parameters?"},
      {"x = (a, b);", "Error on line 1, col 6:\nx = (a, b);\n\nUnexpected comma separator. Too many function parameters?"},
      {"x = pow(2);", "Error on line 1, col 10:\nx = pow(2);\n\nWrong number of function parameters. Expected comma separator."},
      {"x = (1 + 2;", "Error on line 1, col 5:\nx = (1 + 2;\n\nNo brace close found for brace opened."},
      {"x = sin(1 + 2;", "Error on line 1, col 8:\nx = sin(1 + 2;\n\nNo brace close found for brace opened."},
      {"x = 1);", "Error on line 1, col 6:\nx = 1);\n\nUnexpected brace close."},
      {"x = sin 1;", "Error on line 1, col 9:\nx = sin 1;\n\nNo brace open found after function sin."},
      {"x = randf(1, 2);", "Error on line 1, col 11:\nx = randf(1, 2);\n\nUnexpected comma separator. Too many function parameters?"},
      {"x = randf(c);", "Error on line 1, col11:\nx = randf(c);\n\nVariable named c not found."},
      {"x = a  ;", "Error on line 1, col7:\nx = a  ;\n\nVariable named  not found."},
      {"x = a\t;", "Error on line 1, col6:\nx = a\t;\n\nVariable named  not found."},
      {"x = a[c];", "Error on line 1, col 7:\nx = a[c];\n\nInvalid array subscript c."},
      {"float sin;", "Error on line 1, col 9:\nfloat sin;\n\nVariable name expected after type name float."},
      {"int vec3;", "Error on line 1, col 8:\nint vec3;\n\nVariable name expected after type name int."},
      {"float c[d];", "Error on line 1, col 9:\nfloat c[d];\n\nInvalid array subscript d."},
      {"float time;", "Error on line 1, col 10:\nfloat time;\n\nParam time redefinition."},
      {"vec2 a;", "Error on line 1, col 6:\nvec2 a;\n\nParam a redefinition."},
      {"y = 1;", "Error on line 1, col 2:\ny = 1;\n\nUndefined parameter y."},
      {"x[c] = 1;", "Error on line 1, col 3:\nx[c] = 1;\n\nInvalid array subscript c."},
      {"}", "Error on line 1, col 0:\n}\n\nUnexpected sub-section ending."},
      {"if a < b) {", "Error on line 1, col 4:\nif a < b) {\n\nExpected opening brace after condition if."},
      {"while (a = b) {", "Error on line 1, col 9:\nwhile (a = b) {\n\nInvalid condition compare type in while."},
      {"if (a < b {", "Error on line 1, col 11:\nif (a < b {\n\nExpected brace close after condition if."},
      {"if (a < c) {", "Error on line 1, col9:\nif (a < c) {\n\nVariable named c not found."},
      {"if (c < a) {", "Error on line 1, col5:\nif (c < a) {\n\nVariable named c not found."},
      {"if (a < b[c]) {", "Error on line 1, col 11:\nif (a < b[c]) {\n\nInvalid array subscript c."},
      // Left to this implementation: text the language does not define.
      {"x = 1 }", "Error on line 1, col 7:\nx = 1 }\n\nUnexpected end of statement. Missing ; before { or }?"},
      {"string s = \"a\" }", "Error on line 1, col 16:\nstring s = \"a\" }\n\nUnexpected end of statement. Missing ; before { or }?"},
      {"float c {", "Error on line 1, col 9:\nfloat c {\n\nUnexpected end of statement. Missing ; before { or }?"},
      {"x = 1 // the end;", "Error on line 1, col 6:\nx = 1 \n\nUnexpected end of statement. Missing ; before { or }?"},
      {"{", "Error on line 1, col 0:\n{\n\nUnexpected sub-section opening."},
      {"float c[0];", "Error on line 1, col 10:\nfloat c[0];\n\nArray size 0 out of range 1 to 65536."},
      {"float c[65537];", "Error on line 1, col 14:\nfloat c[65537];\n\nArray size 65537 out of range 1 to 65536."},
  };
  for (const ErrorCase& c : cases) {
    FatalCall call = failureOf(std::string(declarations) + c.script);
    EXPECT_EQ(call.caption, "ERROR") << c.script;
    EXPECT_EQ(call.text, c.text) << c.script;
    EXPECT_EQ(call.exitStatus, -1) << c.script;
  }
}

TEST_F(Errors, ElseIsNotPartOfTheLanguage) {
  FatalCall call = failureOf("float x; if (x < 1) { x = 1; } else { x = 2; }");
  EXPECT_EQ(call.text, "Error on line 1, col 7:\n else {\n\nUnexpected end of statement. Missing ; before { or }?");
}

TEST_F(Errors, NestingIsBounded) {
  std::string deep = "float x = " + std::string(300, '(') + "1" + std::string(300, ')') + ";";
  EXPECT_NE(failureOf(deep).text.find("Brackets nested too deeply."), std::string::npos);
  std::string blocks;
  for (int i = 0; i < 300; ++i) blocks += "if (1 < 2) {";
  EXPECT_NE(failureOf(blocks).text.find("Sub-sections nested too deeply."), std::string::npos);
  std::string fine = "float x = " + std::string(200, '(') + "1" + std::string(200, ')') + ";";
  EXPECT_EQ(failureOf(fine).caption, "");
}

TEST_F(Errors, NothingAfterTheFailingChunkIsParsed) {
  ScriptContext ctx;
  initEffectScript(ctx, testSection());
  EXPECT_THROW(parseScriptBody(ctx, "float a; y = 1; float b;"), FatalCall);
  EXPECT_NE(findVariable(ctx, "a"), nullptr);
  EXPECT_EQ(findVariable(ctx, "b"), nullptr);
}

TEST(ErrorExit, AParseErrorEndsTheProcessWithStatus255) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        ScriptContext ctx;
        parseScriptBody(ctx, "}");
      },
      testing::ExitedWithCode(255), "ERROR: Error on line 1, col 0:");
}

}  // namespace
