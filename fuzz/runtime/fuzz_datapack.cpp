// The pack reader over arbitrary pack files.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "runtime/datapack.h"

namespace {
bool enterScratchDirectory() {
  char pattern[] = "/tmp/quorin-fuzz-XXXXXX";
  return mkdtemp(pattern) && chdir(pattern) == 0;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = enterScratchDirectory();
  if (!ready) std::abort();
  std::FILE* pack = std::fopen("datapack.dat", "wb");
  if (!pack) return 0;
  if (size) std::fwrite(data, 1, size, pack);
  std::fclose(pack);
  DataBuffer out;
  for (const char* name : {"a", "fx/b.txt", "", "zz"}) {
    readDataFile(name, out);
    if (out.size() > size) std::abort();  // never more than the pack holds
  }
  clearFileRequestLog();
  return 0;
}
