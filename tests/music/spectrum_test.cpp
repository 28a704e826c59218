// The spectrum's scale on exact samples, without the MP3 path.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "runtime/music.h"
#include "tests/music/music_fixtures.h"

namespace {

std::vector<float> sine(int n, double band, double amplitude) {
  std::vector<float> samples(n);
  for (int i = 0; i < n; ++i) samples[i] = static_cast<float>(amplitude * std::sin(2.0 * fixturePi * band * i / n));
  return samples;
}

// A sine centred in a band reads its amplitude there whatever the window;
// cosine-sum windows leave nothing a few bands away.
TEST(SpectrumScale, CentredSineReadsItsAmplitude) {
  const int windows[] = {spectrumWindowRect,     spectrumWindowTriangle, spectrumWindowHamming,
                         spectrumWindowHanning,  spectrumWindowBlackman, spectrumWindowBlackmanHarris};
  const int bands[] = {4, 93, 1000, 2043};  // away from 0 and the top, where a wide window meets its mirror image
  std::vector<float> values(spectrumBands);
  for (int window : windows) {
    for (int band : bands) {
      for (double amplitude : {1.0, 0.25}) {
        std::vector<float> samples = sine(2 * spectrumBands, band, amplitude);
        ASSERT_TRUE(spectrumOfSamples(samples.data(), spectrumBands, window, values.data()));
        EXPECT_NEAR(values[band], amplitude, 1e-3) << "window " << window << " band " << band;
        if (window == spectrumWindowTriangle) continue;  // its sidelobes fall off slowly
        for (int k = 0; k < spectrumBands; ++k) {
          if (std::abs(k - band) >= 4) {
            ASSERT_LT(values[k], 1e-3) << "window " << window << " band " << band << " k " << k;
          }
        }
      }
    }
  }
}

TEST(SpectrumScale, OtherSizesKeepTheScale) {
  for (int count : {64, 512, 8192}) {
    std::vector<float> values(count);
    std::vector<float> samples = sine(2 * count, count / 4, 1.0);
    ASSERT_TRUE(spectrumOfSamples(samples.data(), count, spectrumWindowHanning, values.data()));
    EXPECT_NEAR(values[count / 4], 1.0, 1e-3) << count;
  }
}

TEST(SpectrumScale, UnknownRequestsLeaveTheValues) {
  std::vector<float> samples(2 * 16384, 0.5f);
  struct Case {
    int count;
    int window;
  };
  const Case cases[] = {{1000, spectrumWindowHanning}, {32, spectrumWindowHanning}, {16384, spectrumWindowHanning},
                        {0, spectrumWindowHanning},    {-2048, spectrumWindowHanning}, {2048, 6},
                        {2048, -1}};
  for (const Case& c : cases) {
    std::vector<float> values(16384, 7.0f);
    EXPECT_FALSE(spectrumOfSamples(samples.data(), c.count, c.window, values.data())) << c.count << " " << c.window;
    for (float v : values) ASSERT_EQ(v, 7.0f);
  }
}

}  // namespace
