// quorin-script loads pictures and materials the way the engine does,
// opening a hidden GL context for them.
#include <gtest/gtest.h>

#include <png.h>

#include <cstdlib>

#include "tests/resources/picture_writers.h"
#include "tests/support/run_process.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(ScriptTool, LoadsTexturesAndMaterials) {
  ScopedTempDir dir;
  std::vector<uint8_t> png = encodeRgbaPng(4, 4, std::vector<uint8_t>(64, 200));
  writeBytes("pic.png", png);
  png[png.size() - 20] ^= 0x55;
  writeBytes("damaged.png", png);
  writeTextFile("m.mat", "textureBump = pic.png\ndiffuse = 1,1,1\n");
  writeTextFile("fx.txt",
                "name = demo code = anything\n"
                "texture t = textureLoad(\"pic.png\", \"p\", 1);\n"
                "texture d = textureLoad(\"damaged.png\");\n"
                "texture r = textureMake(\"rt\");\n"
                "material m = \"m.mat\";\n"
                "int n = 7;\n");
  const char* binaries = std::getenv("QUORIN_BINARY_DIR");
  ProcessResult result =
      runProcess({std::string(binaries ? binaries : ".") + "/tools/quorin-script", "fx.txt"}, 30.0, "out.txt");
  std::string output = readTextFile("out.txt");
  ASSERT_TRUE(result.started);
  EXPECT_EQ(result.exitStatus, 0) << output;
  EXPECT_NE(output.find("damaged.png: libpng:"), std::string::npos) << output;
  EXPECT_EQ(output.find("pic.png:"), std::string::npos) << output;
  EXPECT_EQ(output.find("loader"), std::string::npos) << output;
  EXPECT_NE(output.find("0 n int 1: 7\n"), std::string::npos) << output;
}

}  // namespace
