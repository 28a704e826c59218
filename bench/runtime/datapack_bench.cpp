// readDataFile lookups in a pack of 1000 records of 4 KiB each.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "runtime/datapack.h"
#include "tools/packfile.h"

namespace {

std::string recordName(int i) { return "duvova/meshes/record_" + std::to_string(i) + ".lwo"; }

void makePack() {
  static bool made = false;
  if (made) return;
  char pattern[] = "/tmp/quorin-bench-XXXXXX";
  if (!mkdtemp(pattern) || chdir(pattern) != 0) std::abort();
  std::FILE* pack = std::fopen("datapack.dat", "wb");
  DataBuffer data(4096, 0x5a);
  for (int i = 0; i < 1000; ++i) writePackRecord(pack, recordName(i), data);
  std::fclose(pack);
  made = true;
}

void lookup(benchmark::State& state) {
  makePack();
  std::string name = recordName(static_cast<int>(state.range(0)));
  DataBuffer data;
  for (auto _ : state) {
    readDataFile(name, data);
    benchmark::DoNotOptimize(data.data());
  }
}
// The first, middle and last record, and a name no record has (a full scan).
BENCHMARK(lookup)->Arg(0)->Arg(500)->Arg(999)->Arg(100000)->Unit(benchmark::kMicrosecond);

}  // namespace
