// The music generator: the same bytes every time, and music whose spectrum moves.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "runtime/music.h"
#include "runtime/settings.h"
#include "tests/music/music_fixtures.h"

namespace {

TEST(MusicGenerator, IsDeterministic) {
  PcmAudio a = synthesiseMusic(3.0), b = synthesiseMusic(3.0);
  ASSERT_EQ(a.samples.size(), static_cast<size_t>(3 * fixtureRate * 2));
  EXPECT_EQ(a.samples, b.samples);
  float peak = 0.0f;
  for (float s : a.samples) peak = std::max(peak, std::fabs(s));
  EXPECT_NEAR(peak, 0.89f, 1e-4f);
  EXPECT_EQ(encodeFixture(a, 192), encodeFixture(b, 192));
}

// Spectra half a beat apart differ clearly: the drums, bass and chords move.
TEST(MusicGenerator, SpectrumMovesWithTheMusic) {
  settings.musicEnabled = true;
  createSoundSystem();
  // Start in the groove section, where drums and bass play.
  ASSERT_EQ(createMusicStream(encodeFixture(synthesiseMusic(24.0), 192)), SoundResult::ok);
  ASSERT_EQ(playMusicPaused(), SoundResult::ok);
  std::vector<float> previous(spectrumBands), values(spectrumBands);
  double smallestChange = 1e9;
  for (int i = 0; i < 8; ++i) {
    setChannelPositionMs(19000 + i * 139);
    getSpectrum(values.data(), spectrumWindowHanning, spectrumBands, 0);
    double energy = 0.0;
    for (float v : values) energy += v;
    EXPECT_GT(energy, 1.0) << i;
    if (i > 0) {
      double change = 0.0;
      for (int k = 0; k < spectrumBands; ++k) change += std::fabs(values[k] - previous[k]);
      smallestChange = std::min(smallestChange, change / energy);
    }
    previous = values;
  }
  EXPECT_GT(smallestChange, 0.1);
  releaseSoundSystem();
  settings = RuntimeSettings();
}

}  // namespace
