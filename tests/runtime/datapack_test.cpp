#include <gtest/gtest.h>

#include <filesystem>

#include "runtime/datapack.h"
#include "tests/support/temp_dir.h"
#include "tools/packfile.h"

namespace {

DataBuffer bytes(const std::string& text) { return DataBuffer(text.begin(), text.end()); }
std::string text(const DataBuffer& data) { return std::string(data.begin(), data.end()); }

void writePack(const std::vector<std::pair<std::string, std::string>>& records) {
  std::FILE* pack = std::fopen("datapack.dat", "wb");
  ASSERT_NE(pack, nullptr);
  for (const auto& r : records) ASSERT_TRUE(writePackRecord(pack, r.first, bytes(r.second)));
  std::fclose(pack);
}

class DataPackTest : public ::testing::Test {
 protected:
  void SetUp() override { clearFileRequestLog(); }
  ScopedTempDir dir;
};

TEST_F(DataPackTest, LookupCases) {
  writeTextFile("loose.txt", "from the file");
  writePack({{"loose.txt", "from the pack"},
             {"other/bigglow.png", "big"},
             {"glow.png", "exact"},
             {"", "nameless"},
             {"data/x.bin", std::string("\0\1\2", 3)}});
  struct Case {
    const char* name;
    ReadSource source;
    std::string data;
  };
  const Case cases[] = {
      {"loose.txt", readLooseFile, "from the file"},
      {"glow.png", readFromPack, "big"},  // the first record whose name contains the request
      {"x.bin", readFromPack, std::string("\0\1\2", 3)},
      {"missing.txt", readFromPack, ""},
  };
  for (const Case& c : cases) {
    DataBuffer data = bytes("previous contents");
    EXPECT_EQ(readDataFile(c.name, data), c.source) << c.name;
    EXPECT_EQ(text(data), c.data) << c.name;
  }
}

TEST_F(DataPackTest, ADirectoryIsNoLooseFile) {
  std::filesystem::create_directory("fx");
  writePack({{"fx", "from the pack"}});
  DataBuffer data;
  EXPECT_EQ(readDataFile("fx", data), readFromPack);
  EXPECT_EQ(text(data), "from the pack");
  EXPECT_EQ(readDataFile(".", data), readFromPack);
  EXPECT_TRUE(data.empty());
}

TEST_F(DataPackTest, NoPackAndNoFileReadsNothing) {
  DataBuffer data = bytes("old");
  testing::internal::CaptureStderr();
  EXPECT_EQ(readDataFile("nowhere.txt", data), readNothing);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(data.empty());
  EXPECT_NE(err.find("Error: datafile nowhere.txt not found."), std::string::npos) << err;
}

TEST_F(DataPackTest, DamagedPacks) {
  struct Case {
    const char* what;
    std::string pack;
    const char* request;
    std::string data;
  };
  const Case cases[] = {
      {"empty pack", "", "a", ""},
      {"length cut short reads as 0", std::string("ab\0\x05\x00", 5), "ab", ""},
      {"data cut short delivers what is there", std::string("ab\0\x10\x00\x00\x00xyz", 10), "ab", "xyz"},
      {"huge declared length", std::string("ab\0\xff\xff\xff\xff", 7) + "q", "ab", "q"},
      {"name running to the end", "abcdef", "zz", ""},
      {"long names", std::string(1000, 'n') + std::string("\0\1\0\0\0z", 6), "nnnn", "z"},
      {"skipping past the end", std::string("a\0\xff\xff\x00\x00", 6) + "b", "b", ""},
  };
  for (const Case& c : cases) {
    writeTextFile("datapack.dat", c.pack);
    DataBuffer data;
    EXPECT_EQ(readDataFile(c.request, data), readFromPack) << c.what;
    EXPECT_EQ(text(data), c.data) << c.what;
  }
}

TEST_F(DataPackTest, RequestLogAndFileList) {
  writePack({{"a", "1"}});
  DataBuffer data;
  for (const char* name : {"b", "a", "b", "missing", "a"}) readDataFile(name, data);
  EXPECT_EQ(fileRequestLog(), (std::vector<std::string>{"b", "a", "missing"}));
  writeFileList();
  EXPECT_EQ(readTextFile("datapack.txt"), "b\na\nmissing\n");
}

TEST_F(DataPackTest, PackToolListsAndExtracts) {
  writePack({{"one", "first"}, {"two", ""}, {"three", "3"}});
  std::vector<PackEntry> entries;
  ASSERT_TRUE(listPack("datapack.dat", entries));
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].name, "one");
  EXPECT_EQ(entries[0].declaredLength, 5u);
  EXPECT_EQ(entries[1].declaredLength, 0u);
  DataBuffer data;
  EXPECT_TRUE(extractPackRecord("datapack.dat", "three", data));
  EXPECT_EQ(text(data), "3");
  EXPECT_FALSE(extractPackRecord("datapack.dat", "thr", data));  // the tool matches names exactly
  EXPECT_FALSE(listPack("no-such.dat", entries));
}

}  // namespace
