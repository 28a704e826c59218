// One frame of the spectrum effect at 1024 x 576 (targets 1024 x 512), with
// the spectrum of a playing tone, finished on the GPU (llvmpipe here).
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>

#include "effects/framework/effects.h"
#include "platform/platform.h"
#include "render/gpu.h"
#include "render/targets.h"
#include "runtime/music.h"
#include "runtime/settings.h"
#include "runtime/text_files.h"
#include "tools/music_gen.h"

namespace {

Effect* loadSpectrumEffect() {
  static Effect* effect = nullptr;
  if (effect) return effect;
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  settings.width = 1024;
  settings.height = 576;
  targetWidth = 1024;
  targetHeight = 512;
  platform::WindowRequest request{1024, 576, false, false, "spektrometri bench"};
  if (platform::openWindow(request) != platform::WindowResult::ok) std::abort();
  initGpu();
  createStandardTargets();
  char dir[] = "/tmp/quorin-bench-XXXXXX";
  if (!mkdtemp(dir) || chdir(dir) != 0) std::abort();
  std::FILE* f = std::fopen("spectrum.txt", "w");
  std::fputs(
      "code = spektrometri\nvec3 cameraLookAt = vec3(0, 0, 0);\nvec3 cameraPosition = vec3(0, 1.5, 9);\n"
      "float cameraPositionMul = 1;\nfloat cameraPositionMulDecrease = 0.0005;\nfloat glenzBeatSpecLow = 0;\n"
      "float glenzBeatSpecHigh = 1;\nfloat kirkkaus = 40;\nint numRevol = 5;\nfloat scaleX = 0.6;\n"
      "float suuruus = 1;\n",
      f);
  std::fclose(f);
  TimelineSection section;
  section.name = "spectrum.txt";
  section.end = 296.0f;
  effect = loadEffect(section).release();
  settings.musicEnabled = true;
  createSoundSystem();
  std::vector<uint8_t> mp3;
  std::string error;
  encodeMp3(synthesiseMusic(10.0), 192, mp3, error);
  createMusicStream(mp3);
  playMusicPaused();
  setChannelPaused(false);
  return effect;
}

void spektrometriFrame(benchmark::State& state) {
  Effect* effect = loadSpectrumEffect();
  float time = 1.0f;
  for (auto _ : state) {
    glViewport(0, 0, targetWidth, targetHeight);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    renderEffectFrame(*effect, time, 0.005f);
    glFinish();
    time += 0.005f;
  }
}
BENCHMARK(spektrometriFrame)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
