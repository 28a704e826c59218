// The real program, headless, on a small production that ends by itself.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "tests/support/run_process.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

std::string binaryDir() {
  const char* dir = std::getenv("QUORIN_BINARY_DIR");
  return dir ? dir : ".";
}

std::string fixtureDir() {
  const char* dir = std::getenv("QUORIN_SOURCE_DIR");
  return std::string(dir ? dir : ".") + "/tests/runtime/fixtures/endtoend";
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  size_t begin = 0, end;
  while ((end = text.find('\n', begin)) != std::string::npos) {
    result.push_back(text.substr(begin, end - begin));
    begin = end + 1;
  }
  return result;
}

// True when wanted appears in list in the same order (other names may come between).
bool inOrder(const std::vector<std::string>& list, const std::vector<std::string>& wanted) {
  size_t w = 0;
  for (const std::string& name : list) {
    if (w < wanted.size() && name == wanted[w]) ++w;
  }
  return w == wanted.size();
}

const std::vector<std::string> expectedRequests = {"demo.qrn", "config.txt", "timeline.txt", "fx/lines.txt",
                                                   "fx/missing.txt"};

void expectRunEndsByItself(const std::string& log) {
  ProcessResult run = runProcess({binaryDir() + "/app/quorin"}, 60.0, log);
  ASSERT_TRUE(run.started);
  ASSERT_FALSE(run.timedOut) << readTextFile(log);
  EXPECT_EQ(run.exitStatus, 0) << readTextFile(log);
  // From 294 s to 296 s of demo time.
  EXPECT_GE(run.seconds, 1.9);
  std::vector<std::string> requested = lines(readTextFile("datapack.txt"));
  EXPECT_TRUE(inOrder(requested, expectedRequests)) << readTextFile("datapack.txt");
  EXPECT_EQ(std::count(requested.begin(), requested.end(), "demo.qrn"), 1);
}

TEST(EndToEnd, LooseFilesThenThePackAlone) {
  ScopedTempDir dir;
  fs::copy(fixtureDir(), dir.path(), fs::copy_options::recursive);
  std::string log = dir.path() + "/../" + fs::path(dir.path()).filename().string() + "-loose.log";
  expectRunEndsByItself(log);
  EXPECT_NE(readTextFile(log).find("Error: datafile fx/missing.txt not found."), std::string::npos);

  ProcessResult pack =
      runProcess({binaryDir() + "/tools/datapack", "build", "datapack.dat", "--list", "datapack.txt"}, 30.0, log);
  ASSERT_EQ(pack.exitStatus, 1) << "the list names a file that does not exist: " << readTextFile(log);
  ProcessResult packExisting = runProcess(
      {binaryDir() + "/tools/datapack", "build", "datapack.dat", "demo.qrn", "config.txt", "timeline.txt",
       "fx/lines.txt"},
      30.0, log);
  ASSERT_EQ(packExisting.exitStatus, 0) << readTextFile(log);

  fs::create_directory("alone");
  fs::rename("datapack.dat", "alone/datapack.dat");
  fs::current_path("alone");
  expectRunEndsByItself(log);
  fs::remove(log);
}

}  // namespace
