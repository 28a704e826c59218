// quorin-script as authors and scripts use it: the printed lines are a
// stable interface.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/run_process.h"
#include "tests/support/temp_dir.h"

namespace {

std::string inspector() {
  const char* dir = std::getenv("QUORIN_BINARY_DIR");
  return std::string(dir ? dir : ".") + "/tools/quorin-script";
}

struct InspectorRun {
  int status;
  std::string output;  // stdout and stderr together
};

InspectorRun runInspector(const std::vector<std::string>& args) {
  std::vector<std::string> argv = {inspector()};
  argv.insert(argv.end(), args.begin(), args.end());
  std::remove("out.txt");
  ProcessResult result = runProcess(argv, 30.0, "out.txt");
  EXPECT_TRUE(result.started);
  EXPECT_FALSE(result.timedOut);
  return {result.exitStatus, readTextFile("out.txt")};
}

TEST(Inspector, PrintsEveryNumericVariableAfterEachRun) {
  ScopedTempDir dir;
  writeTextFile("fx.txt",
                "name = demo code = anything\n"
                "vec2 p[2]; p[1] = vec2(time, paramIn1);\n"
                "int n = n + 1;\n"
                "float half = 1 / 3;\n"
                "string s = \"x\";\n"
                "texture t = \"in0\";\n");
  InspectorRun run = runInspector({"--param", "4", "--param", "2.5", "--in", "back", "--time", "1.5", "--time", "2", "fx.txt"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output,
            "0 frame int 1: 0\n"
            "0 time float 1: 0\n"
            "0 timeStep float 1: 0\n"
            "0 start float 1: 0\n"
            "0 length float 1: 10\n"
            "0 end float 1: 10\n"
            "0 paramIn0 float 1: 4\n"
            "0 paramIn1 float 1: 2.5\n"
            "0 p vec2 2: 0 0 0 2.5\n"
            "0 n int 1: 1\n"
            "0 half float 1: 0.333333343\n"
            "1 frame int 1: 1\n"
            "1 time float 1: 1.5\n"
            "1 timeStep float 1: 1.5\n"
            "1 start float 1: 0\n"
            "1 length float 1: 10\n"
            "1 end float 1: 10\n"
            "1 paramIn0 float 1: 4\n"
            "1 paramIn1 float 1: 2.5\n"
            "1 p vec2 2: 0 0 1.5 2.5\n"
            "1 n int 1: 2\n"
            "1 half float 1: 0.333333343\n"
            "2 frame int 1: 2\n"
            "2 time float 1: 2\n"
            "2 timeStep float 1: 0.5\n"
            "2 start float 1: 0\n"
            "2 length float 1: 10\n"
            "2 end float 1: 10\n"
            "2 paramIn0 float 1: 4\n"
            "2 paramIn1 float 1: 2.5\n"
            "2 p vec2 2: 0 0 2 2.5\n"
            "2 n int 1: 3\n"
            "2 half float 1: 0.333333343\n");
}

TEST(Inspector, AParseErrorPrintsTheMessageAndNothingElse) {
  ScopedTempDir dir;
  writeTextFile("fx.txt", "code = glow\nfloat a;\nfloat b = a  ;\n");
  InspectorRun run = runInspector({"fx.txt"});
  EXPECT_EQ(run.status, 255);
  EXPECT_EQ(run.output, "ERROR: Error on line 2, col14:\n\nfloat b = a  ;\n\nVariable named  not found.\n");
}

TEST(Inspector, RefusesFilesWithoutACodeAndBadArguments) {
  ScopedTempDir dir;
  writeTextFile("nocode.txt", "name = x\nfloat a;\n");
  writeTextFile("oneline.txt", "code = glow");
  EXPECT_EQ(runInspector({"nocode.txt"}).status, 1);
  EXPECT_EQ(runInspector({"oneline.txt"}).status, 1);
  EXPECT_EQ(runInspector({"--param", "abc", "nocode.txt"}).status, 2);
  EXPECT_EQ(runInspector({"--time"}).status, 2);
  EXPECT_EQ(runInspector({}).status, 2);
  InspectorRun help = runInspector({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.output.find("<run> <name> <type> <count>"), std::string::npos);
}

}  // namespace
