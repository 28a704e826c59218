// A realistic effect script run per frame: arithmetic, built-ins,
// subscripts and a while loop over an array. Reports the time per run, per
// expression item evaluated and the parse time per KiB.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "runtime/text_files.h"
#include "script/curve.h"
#include "script/script.h"

namespace {

const char* const header = R"(
// camera and timing
int setCamera = 1;
vec3 cameraPos = vec3(0, 2, -8);
vec3 cameraLookAt = vec3(0, 0, 0);
vec3 cameraRPY;
float cameraZoom = 0;
float t = time - start;
float fade = smoothOn(t, 1.5) * smoothOff(t - length + 2, 2);
float beat = mod(t * 2.133);
float pulse = linearPulse(beat, 0.05, 0.1, 0.3);
float flash = smoothPulse(t - 4, 0.2, 1, 0.5);
cameraPos.x = sin(t * 0.3) * 8;
cameraPos.z = cos(t * 0.3) * -8;
cameraPos.y = 2 + sin(t * 0.7) * 0.5;
cameraZoom = linearOn(t, 4) * 2;
cameraRPY = vec3(0, 0, sin(t * 0.2) * 5);
float glowFactor = 1.5 + pulse * 0.5;
float kirkkaus = fade * (0.8 + flash * 0.2);
vec4 tint = vec4(1, 0.9, 0.8, 1) * kirkkaus;
vec3 lightPos = rotate(vec3(4, 3, 0), t, 1);
vec3 lightDir = lightPos * -0.25;
float lightDot = dot(lightDir, cameraPos);
vec3 side = cross(lightDir, cameraPos);
float twist = pow(fade, 2) * 3.14159;
float spin = atan(cameraPos.x, cameraPos.z);
float wobble = sqrt(1 + beat) - 1;
float speed = paramIn0 * 0.5 + paramIn2;
float drift = t * speed + randfs() * 0.01;
int phase = t / 4;
float sway = 0;
if (phase == 1) {
  sway = sin(t * 4) * 0.1;
}
if (fade > 0.5) {
  glowFactor = glowFactor * 0.5;
}
// a ring of points
vec3 ring[16];
float ringSize[16];
int i = 0;
float angle = 0;
while (i < 16) {
  angle = i * 0.3926991 + t * 0.5;
  ring[i] = vec3(cos(angle), sin(angle * 2) * 0.2, sin(angle)) * (2 + pulse);
  ringSize[i] = 0.2 + smooth(mod(beat + i * 0.0625)) * 0.3;
  i = i + 1;
}
)";

// One object block per light or mesh of the effect, each with its own names.
std::string objectBlock(int k) {
  char text[2048];
  std::snprintf(text, sizeof text, R"(
vec3 obj%1$dPos = ring[%2$d] + vec3(0, %1$d * 0.1, 0);
vec3 obj%1$dRot = vec3(t * 20 + %1$d * 10, t * 15, 0);
vec3 obj%1$dSca = 1 + ringSize[%2$d];
vec3 obj%1$dCen;
float obj%1$dAlpha = fade * linearOn(t - %1$d * 0.5, 1);
vec4 obj%1$dColor = tint * (0.5 + 0.5 * sin(t + %1$d));
obj%1$dColor.w = obj%1$dAlpha;
float obj%1$dSpec = 8 + pulse * 24;
obj%1$dPos.y = obj%1$dPos.y + sway * %1$d;
obj%1$dRot.z = spin * 57.29578;
float obj%1$dBlend = smoothOn(t, 2 + %1$d) * (1 - flash);
vec2 obj%1$dTexScale = vec2(1 + beat, 1);
)",
                k, (k * 3) % 16);
  return text;
}

std::string benchScript() {
  std::string body = header;
  for (int k = 0; k < 10; ++k) body += objectBlock(k);
  return body;
}

TimelineSection benchSection() {
  TimelineSection section;
  section.name = "fx/bench.txt";
  section.start = 10.0f;
  section.end = 40.0f;
  section.params = {1.0f, 0.5f, 3.0f};
  return section;
}

size_t statementCount(const ScriptNode& block) {
  size_t n = 0;
  for (const auto& child : block.children) n += 1 + statementCount(*child);
  return n;
}

size_t itemsIn(const ScriptNode& node) {
  size_t n = node.items.size();
  for (const ExprItem& item : node.items) {
    for (const auto& nested : item.nodes) n += itemsIn(*nested);
  }
  return n;
}

// Items evaluated by one run, for this script: every if body here is counted
// as run, and the one while loop runs 16 times.
size_t itemsPerRun(const ScriptNode& block, size_t repeat) {
  size_t n = 0;
  for (const auto& child : block.children) {
    if (child->kind == nodeStatement) n += repeat * itemsIn(*child);
    else n += itemsPerRun(*child, child->kind == nodeWhile ? repeat * 16 : repeat);
  }
  return n;
}

void BM_RunEffectScript(benchmark::State& state) {
  std::string body = benchScript();
  ScriptContext ctx;
  initEffectScript(ctx, benchSection());
  parseScriptBody(ctx, body);
  runBlock(ctx);
  float time = 14.0f;  // phase 1: the if bodies run
  for (auto _ : state) {
    runScriptFrame(ctx, time, 0.0f);
    benchmark::DoNotOptimize(findVariable(ctx, "obj8Color")->floats[3]);
  }
  size_t items = itemsPerRun(*ctx.rootBlock, 1);
  state.counters["statements"] = static_cast<double>(statementCount(*ctx.rootBlock));
  state.counters["items"] = static_cast<double>(items);
  state.counters["ns_per_item"] = benchmark::Counter(
      static_cast<double>(items) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate |
                                                                                 benchmark::Counter::kInvert);
}
BENCHMARK(BM_RunEffectScript);

void BM_ParseEffectScript(benchmark::State& state) {
  std::string body = benchScript();
  for (auto _ : state) {
    ScriptContext ctx;
    initEffectScript(ctx, benchSection());
    parseScriptBody(ctx, body);
    benchmark::DoNotOptimize(ctx.rootBlock->children.size());
  }
  state.SetBytesProcessed(static_cast<int64_t>(body.size()) * static_cast<int64_t>(state.iterations()));
  state.counters["KiB"] = static_cast<double>(body.size()) / 1024.0;
}
BENCHMARK(BM_ParseEffectScript);

void BM_CurvePosition(benchmark::State& state) {
  std::string text;
  for (int k = 0; k < 32; ++k) {
    char line[96];
    std::snprintf(line, sizeof line, "%d,0.2,%d,%d,%d\n", k, k % 5, (k * 7) % 11, k / 3);
    text += line;
  }
  Curve curve;
  parseCurveData(DataBuffer(text.begin(), text.end()), curve);
  float t = 0.0f;
  Vector3 p;
  for (auto _ : state) {
    positionAt(curve, t, p);
    benchmark::DoNotOptimize(p);
    t += 0.013f;
    if (t > 31.0f) t = 0.0f;
  }
}
BENCHMARK(BM_CurvePosition);

}  // namespace
