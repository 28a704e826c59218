// quorin-script: runs an effect description's script the way the engine
// does and prints every numeric variable after each run.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "render/resources.h"
#include "runtime/datapack.h"
#include "runtime/fatal.h"
#include "runtime/settings.h"
#include "runtime/text_files.h"
#include "runtime/viewport.h"
#include "script/script.h"

namespace {

const char* const helpText =
    "usage: quorin-script [--param X]... [--in NAME]... [--out NAME]... [--time T]... FILE\n"
    "\n"
    "Reads FILE as an effect description, as the engine's effect loader does: the first\n"
    "line must hold a \"code\" key (any code name is accepted), and the rest is the\n"
    "script, cut into chunks and parsed. Files are read from the working directory or\n"
    "else from datapack.dat there.\n"
    "\n"
    "Before parsing, the built-in variables are declared as for a timeline entry with\n"
    "start 0 and end 10 (length 10):\n"
    "  --param X   one float \"paramIn0\", \"paramIn1\", ... per option, in order\n"
    "  --in NAME   the input names that the texture literals \"in0\" to \"in5\" stand for\n"
    "  --out NAME  \"textureOut\" holds the first one (\"screen\" without any)\n"
    "\n"
    "The script then runs once as the set-up run (time, timeStep and frame 0), and\n"
    "once more for each --time T, in order, as a rendered frame: \"time\" = T,\n"
    "\"timeStep\" = T minus the previous run's time, \"frame\" increased by 1.\n"
    "\n"
    "After every run one line per numeric variable (int, float, vec2, vec3, vec4) in\n"
    "declaration order, component aliases such as \"p.x\" left out:\n"
    "  <run> <name> <type> <count>: <word> <word> ...\n"
    "<run> is 0 for the set-up run and 1, 2, ... after it; the words are all count x\n"
    "1, 2, 3 or 4 stored values, ints as %d and floats as %.9g.\n"
    "\n"
    "Textures and materials are loaded as the engine loads them; the first one opens a\n"
    "hidden OpenGL context (render targets of 1024 x 512, as for the default window).\n"
    "A picture that cannot be loaded is named on stderr and the run goes on.\n"
    "\n"
    "A parse error prints the engine's message (caption and text) on stderr and exits\n"
    "with status 255, printing nothing more. Other failures exit with status 1 or 2.\n";

struct Options {
  std::vector<float> params;
  std::vector<std::string> inputs;
  std::vector<std::string> outputs;
  std::vector<float> times;
  std::string file;
};

[[noreturn]] void usageError(const std::string& message) {
  std::fprintf(stderr, "quorin-script: %s\n(quorin-script --help explains the options)\n", message.c_str());
  std::exit(2);
}

float numberArgument(const char* option, const char* text) {
  float value = 0.0f;
  if (!readDecimal(text, &value)) usageError(std::string(option) + " needs a number, not \"" + text + "\"");
  return value;
}

Options readOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strcmp(arg, "--help") == 0) {
      std::fputs(helpText, stdout);
      std::exit(0);
    }
    bool takesValue = std::strcmp(arg, "--param") == 0 || std::strcmp(arg, "--in") == 0 ||
                      std::strcmp(arg, "--out") == 0 || std::strcmp(arg, "--time") == 0;
    if (takesValue) {
      if (i + 1 >= argc) usageError(std::string(arg) + " needs a value");
      const char* value = argv[++i];
      if (std::strcmp(arg, "--param") == 0) options.params.push_back(numberArgument(arg, value));
      if (std::strcmp(arg, "--in") == 0) options.inputs.push_back(value);
      if (std::strcmp(arg, "--out") == 0) options.outputs.push_back(value);
      if (std::strcmp(arg, "--time") == 0) options.times.push_back(numberArgument(arg, value));
    } else if (arg[0] == '-' && arg[1] == '-') {
      usageError(std::string("unknown option ") + arg);
    } else if (!options.file.empty()) {
      usageError("only one FILE, please");
    } else {
      options.file = arg;
    }
  }
  if (options.file.empty()) usageError("no FILE given");
  return options;
}

void printVariables(const ScriptContext& ctx, int run) {
  for (const std::unique_ptr<Variable>& owned : ctx.declared) {
    const Variable& v = *owned;
    if (v.isAlias || v.type < varInt || v.type > varVec4 || findVariable(ctx, v.name) != &v) continue;
    std::printf("%d %s %s %d:", run, v.name.c_str(), typeKeyword(v.type), v.count);
    if (v.type == varInt) {
      for (int32_t word : v.intStorage) std::printf(" %d", word);
    } else {
      for (float word : v.floatStorage) std::printf(" %.9g", static_cast<double>(word));
    }
    std::printf("\n");
  }
}

// Textures need a GL context; scripts without any never open one.
void openGlForTextures() {
  static bool opened = false;
  if (opened) return;
  opened = true;
  targetWidth = largestPowerOfTwoAtMost(settings.width);
  targetHeight = largestPowerOfTwoAtMost(settings.height);
  platform::WindowRequest request{64, 64, false, false, "quorin-script"};
  if (platform::openWindow(request) != platform::WindowResult::ok) {
    std::fprintf(stderr, "quorin-script: no OpenGL context for the script's textures\n");
    std::exit(1);
  }
}

// The engine's fatal message is already on stderr; no message box from a
// command-line tool.
[[noreturn]] void endWithoutBox(const char*, const char*, int exitStatus) {
  std::fflush(stdout);
  std::exit(exitStatus);
}

}  // namespace

int main(int argc, char** argv) {
  Options options = readOptions(argc, argv);
  setenv("SDL_VIDEODRIVER", "offscreen", 0);  // messages to stderr, never a box
  setFatalHandler(endWithoutBox);
  installResourceLoaders(openGlForTextures);

  DataBuffer data;
  readDataFile(options.file, data);
  std::string code;
  size_t bodyOffset = 0;
  if (!splitEffectDescription(data, &code, &bodyOffset) || code.empty()) {
    std::fprintf(stderr, "quorin-script: %s: no \"code\" key in its first line (or no line at all)\n",
                 options.file.c_str());
    return 1;
  }

  TimelineSection section;
  section.name = options.file;
  section.start = 0.0f;
  section.end = 10.0f;
  section.inputs = options.inputs;
  section.params = options.params;
  section.outputs = options.outputs;
  ScriptContext ctx;
  initEffectScript(ctx, section);
  parseScriptBody(ctx, std::string_view(reinterpret_cast<const char*>(data.data()) + bodyOffset,
                                        data.size() - bodyOffset));

  runBlock(ctx);
  printVariables(ctx, 0);
  float previous = 0.0f;
  int run = 1;
  for (float t : options.times) {
    runScriptFrame(ctx, t, t - previous);
    previous = t;
    printVariables(ctx, run++);
  }
  return 0;
}
