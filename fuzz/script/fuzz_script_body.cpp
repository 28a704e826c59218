// Arbitrary bytes as an effect description body: cut, parsed and run a few
// times. A parse error ends the input (the fatal handler unwinds back here),
// not the fuzzer; while loops get an iteration limit.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "runtime/datapack.h"
#include "runtime/fatal.h"
#include "runtime/text_files.h"
#include "script/script.h"

namespace {

struct ParseFailed {};

[[noreturn]] void unwind(const char*, const char*, int) { throw ParseFailed{}; }

char scratch[] = "/tmp/quorin-fuzz-XXXXXX";
char home[4096];

// A scratch directory with two curve files and an empty pack, so that curve
// statements read real data and missing names fail quietly. Inputs run
// inside it; libFuzzer reads its corpus from where it was started.
bool prepare() {
  if (!getcwd(home, sizeof home) || !mkdtemp(scratch) || chdir(scratch) != 0) return false;
  std::FILE* f = std::fopen("a.crv", "wb");
  if (!f) return false;
  std::fputs("0,0,0,0,0\n1,0.5,1,2,0\n2,0,3,1,1\n3,1,2,2,2\n4,0,0,0,0\n", f);
  std::fclose(f);
  f = std::fopen("b.crv", "wb");
  if (!f) return false;
  std::fputs("1\n1,0,1,0,0\n2,0,0,1,0\n3,0,-1,0,0\n4,0,0,-1,0\n", f);
  std::fclose(f);
  f = std::fopen("datapack.dat", "wb");
  if (!f) return false;
  std::fclose(f);
  setFatalHandler(unwind);
  return chdir(home) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static bool ready = prepare();
  if (!ready || chdir(scratch) != 0) std::abort();
  TimelineSection section;
  section.name = "fx/fuzz.txt";
  section.end = 10.0f;
  section.params = {1.0f, 2.0f};
  section.inputs = {"back", "glow"};
  ScriptContext ctx;
  ctx.whileIterationLimit = 1000;
  initEffectScript(ctx, section);
  try {
    parseScriptBody(ctx, std::string_view(reinterpret_cast<const char*>(data), size));
    runBlock(ctx);
    for (int frame = 1; frame <= 3; ++frame) runScriptFrame(ctx, frame * 0.7f, 0.7f);
    float out[4];
    getFloats(ctx, "time", out);
  } catch (const ParseFailed&) {
  }
  clearFileRequestLog();
  if (chdir(home) != 0) std::abort();
  return 0;
}
