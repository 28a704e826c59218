// One getSpectrum call as effects make it: 2048 bands, Hanning, channel 0,
// over generated music on the silent output.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "runtime/music.h"
#include "runtime/settings.h"
#include "tools/music_gen.h"

namespace {

void startGeneratedMusic() {
  static bool started = false;
  if (started) return;
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  std::vector<uint8_t> mp3;
  std::string error;
  if (!encodeMp3(synthesiseMusic(60.0), 192, mp3, error)) std::abort();
  settings.musicEnabled = true;
  createSoundSystem();
  if (createMusicStream(std::move(mp3)) != SoundResult::ok || playMusicPaused() != SoundResult::ok) std::abort();
  started = true;
}

// Paused at one place: the window and FFT alone.
void spectrumPaused(benchmark::State& state) {
  startGeneratedMusic();
  setChannelPaused(true);
  setChannelPositionMs(30000);
  std::vector<float> values(spectrumBands);
  for (auto _ : state) {
    getSpectrum(values.data(), spectrumWindowHanning, spectrumBands, 0);
    benchmark::DoNotOptimize(values.data());
  }
}
BENCHMARK(spectrumPaused)->Unit(benchmark::kMicrosecond);

// Playing: each call also decodes the music that played since the last one.
void spectrumPlaying(benchmark::State& state) {
  startGeneratedMusic();
  setChannelPositionMs(10000);
  setChannelPaused(false);
  std::vector<float> values(spectrumBands);
  for (auto _ : state) {
    getSpectrum(values.data(), spectrumWindowHanning, spectrumBands, 0);
    benchmark::DoNotOptimize(values.data());
  }
  setChannelPaused(true);
}
BENCHMARK(spectrumPlaying)->Unit(benchmark::kMicrosecond);

// A new position every call, as while winding: a seek, then the decoding
// of one window.
void spectrumAfterSeek(benchmark::State& state) {
  startGeneratedMusic();
  setChannelPaused(true);
  std::vector<float> values(spectrumBands);
  int64_t ms = 5000;
  for (auto _ : state) {
    ms = ms >= 50000 ? 5000 : ms + 1234;
    setChannelPositionMs(ms);
    getSpectrum(values.data(), spectrumWindowHanning, spectrumBands, 0);
    benchmark::DoNotOptimize(values.data());
  }
}
BENCHMARK(spectrumAfterSeek)->Unit(benchmark::kMicrosecond);

}  // namespace
