// The sound layer on the silent output (SDL_AUDIODRIVER=dummy): positions,
// samples and spectra of generated MP3s.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "runtime/music.h"
#include "runtime/settings.h"
#include "tests/music/music_fixtures.h"

namespace {

void sleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

double positionMs() { return channelPositionFrames() * 1000.0 / fixtureRate; }

class MusicStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings.musicEnabled = true;
    createSoundSystem();
  }
  void TearDown() override {
    releaseSoundSystem();
    settings = RuntimeSettings();
  }
  void play(DataBuffer mp3) {
    ASSERT_EQ(createMusicStream(std::move(mp3)), SoundResult::ok);
    ASSERT_EQ(playMusicPaused(), SoundResult::ok);
    ASSERT_FALSE(soundOutputAudible());
    ASSERT_EQ(channelSampleRate(), fixtureRate);
  }
};

// Paused, the position is exactly the frame of the millisecond asked for, and
// the samples before it are the sine that was encoded there: the decoder's
// delay and padding are trimmed and seeks land on the sample, either way.
TEST_F(MusicStreamTest, SetPositionIsSampleAccurate) {
  const double hz = 1000.0, amplitude = 0.5;
  play(toneMp3(hz, 2.0, 1.0, amplitude));
  const int n = 256;
  std::vector<float> left(n), right(n);
  auto expected = [&](int64_t f) { return f < 0 ? 0.0 : amplitude * std::sin(2.0 * fixturePi * hz * f / fixtureRate); };
  for (int64_t ms : {1234, 7, 500, 1999, 0, 1500}) {
    setChannelPositionMs(ms);
    int64_t end = channelPositionFrames();
    ASSERT_EQ(end, frameOfMs(ms)) << ms;
    ASSERT_TRUE(channelSamples(left.data(), n, 0));
    ASSERT_TRUE(channelSamples(right.data(), n, 1));
    double error = 0.0, shiftedError = 0.0;
    for (int i = 0; i < n; ++i) {
      int64_t frame = end - n + i;
      error += std::pow(left[i] - expected(frame), 2);
      shiftedError += std::pow(left[i] - expected(frame + 1), 2);
      ASSERT_EQ(left[i], right[i]) << "a mono file plays the same on both channels";
    }
    EXPECT_LT(std::sqrt(error / n), 0.01) << ms;
    if (end >= n) {  // one frame off would show
      EXPECT_GT(std::sqrt(shiftedError / n), 0.03) << ms;
    }
  }
}

TEST_F(MusicStreamTest, PositionRunsOnTheClockAndHoldsWhilePaused) {
  play(toneMp3(1000.0, 2.0, 0.0));
  EXPECT_EQ(channelPositionFrames(), 0);
  sleepMs(50);
  EXPECT_EQ(channelPositionFrames(), 0) << "started paused";

  auto started = std::chrono::steady_clock::now();
  setChannelPaused(false);
  sleepMs(200);
  double ran = positionMs();
  double waited = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
  EXPECT_GE(ran, 195.0);
  EXPECT_LE(ran, waited + 5.0);

  setChannelPaused(true);
  int64_t held = channelPositionFrames();
  sleepMs(60);
  EXPECT_EQ(channelPositionFrames(), held);
  setChannelPositionMs(1500);
  EXPECT_EQ(channelPositionFrames(), frameOfMs(1500)) << "setting the position while paused";
  sleepMs(30);
  EXPECT_EQ(channelPositionFrames(), frameOfMs(1500));

  setChannelPaused(false);
  sleepMs(100);
  EXPECT_GE(positionMs(), 1595.0) << "resumed from where it was set";
  EXPECT_LT(positionMs(), 2500.0);
  setChannelPositionMs(250);
  EXPECT_GE(positionMs(), 250.0);
  EXPECT_LT(positionMs(), 350.0) << "playing, a new position takes effect at once";
}

// Band k is centred on k * 44100 / 4096 Hz. A Hanning window reads a sine
// delta bands off centre at A * sinc(delta) / (1 - delta^2).
TEST_F(MusicStreamTest, ToneSpectrumPeaksInItsBand) {
  struct Case {
    double hz;
    int band;
  };
  const Case cases[] = {{1000.0, 93}, {93 * 44100.0 / 4096, 93}, {5000.0, 464}, {220.0, 20}};
  std::vector<float> values(spectrumBands);
  for (const Case& c : cases) {
    const double amplitude = 0.5;
    play(toneMp3(c.hz, 1.5, 0.0, amplitude));
    setChannelPositionMs(1000);
    getSpectrum(values.data(), spectrumWindowHanning, spectrumBands, 0);
    int peak = static_cast<int>(std::max_element(values.begin(), values.end()) - values.begin());
    EXPECT_EQ(peak, c.band) << c.hz;
    double delta = c.hz * 4096 / 44100.0 - c.band;
    double gain = delta == 0.0 ? 1.0 : std::sin(fixturePi * delta) / (fixturePi * delta * (1 - delta * delta));
    EXPECT_NEAR(values[c.band], amplitude * gain, 0.01) << c.hz;
    for (int k = 0; k < spectrumBands; ++k) {
      if (std::abs(k - c.band) > 8) {
        ASSERT_LT(values[k], 1e-3) << c.hz << " band " << k;
      }
    }
  }
}

TEST_F(MusicStreamTest, SilenceAndThePastEndGiveZeros) {
  play(toneMp3(1000.0, 1.0, 1.5));
  std::vector<float> values(spectrumBands, 7.0f);
  for (int64_t ms : {2000, 2450, 10000, 3600000}) {
    setChannelPositionMs(ms);
    EXPECT_EQ(channelPositionFrames(), frameOfMs(ms)) << "never clamped to the end";
    getSpectrum(values.data(), spectrumWindowHanning, spectrumBands, 0);
    EXPECT_LT(*std::max_element(values.begin(), values.end()), 1e-4) << ms;
  }
  setChannelPaused(false);
  sleepMs(20);
  EXPECT_GT(channelPositionFrames(), frameOfMs(3600000)) << "past the end the position keeps running";
}

// Gapless: the stream ends on the last frame that was encoded.
TEST_F(MusicStreamTest, StreamEndsWhereTheEncodedSoundEnds) {
  const double seconds = 1.25;
  play(toneMp3(441.0, seconds, 0.0, 0.5));
  const int64_t length = frameOfMs(1250);
  std::vector<float> samples(100);
  setChannelPositionMs(1250);
  ASSERT_EQ(channelPositionFrames(), length);
  ASSERT_TRUE(channelSamples(samples.data(), 100, 0));
  float loudest = 0.0f;
  for (float s : samples) loudest = std::max(loudest, std::fabs(s));
  EXPECT_GT(loudest, 0.45f) << "the last encoded frames are there";
  setChannelPositionMs(1253);  // 132 frames on: the 100 before it are past the end
  ASSERT_TRUE(channelSamples(samples.data(), 100, 0));
  for (float s : samples) ASSERT_EQ(s, 0.0f);
}

TEST_F(MusicStreamTest, MusicOffLeavesTheArrayAsItWas) {
  play(toneMp3(1000.0, 1.5, 0.0));
  setChannelPositionMs(1000);
  settings.musicEnabled = false;
  std::vector<float> values(spectrumBands, 7.0f);
  getSpectrum(values.data(), spectrumWindowHanning, spectrumBands, 0);
  for (float v : values) ASSERT_EQ(v, 7.0f);
}

TEST_F(MusicStreamTest, RequestsTheLayerCannotServeLeaveTheArray) {
  play(toneMp3(1000.0, 1.5, 0.0));
  setChannelPositionMs(1000);
  struct Case {
    int window, count, channel;
  };
  const Case cases[] = {{spectrumWindowHanning, 2048, 2}, {spectrumWindowHanning, 2048, -1},
                        {spectrumWindowHanning, 1000, 0}, {9, 2048, 0}};
  for (const Case& c : cases) {
    std::vector<float> values(spectrumBands, 7.0f);
    getSpectrum(values.data(), c.window, c.count, c.channel);
    for (float v : values) ASSERT_EQ(v, 7.0f) << c.window << " " << c.count << " " << c.channel;
  }
  getSpectrum(nullptr, spectrumWindowHanning, spectrumBands, 0);
}

TEST_F(MusicStreamTest, NothingPlayingGivesZeros) {
  std::vector<float> values(spectrumBands, 7.0f);
  getSpectrum(values.data(), spectrumWindowHanning, spectrumBands, 0);
  for (float v : values) ASSERT_EQ(v, 0.0f);
  EXPECT_EQ(channelPositionFrames(), 0);
  setChannelPositionMs(500);  // no channel: nothing to move
  setChannelPaused(false);
  EXPECT_EQ(channelPositionFrames(), 0);
}

TEST_F(MusicStreamTest, StreamsThatCannotPlay) {
  std::string text = "ID3 this is not an MP3 file at all, only text that goes on and on. ";
  DataBuffer garbage;
  for (int i = 0; i < 200; ++i) garbage.insert(garbage.end(), text.begin(), text.end());
  DataBuffer mp3 = toneMp3(1000.0, 1.0, 0.0);
  DataBuffer cut(mp3.begin(), mp3.begin() + 300);  // the tag frame and a sliver
  EXPECT_EQ(createMusicStream(DataBuffer()), SoundResult::noData);
  EXPECT_EQ(createMusicStream(garbage), SoundResult::notDecodable);
  EXPECT_EQ(createMusicStream(cut), SoundResult::notDecodable);
  EXPECT_EQ(playMusicPaused(), SoundResult::noStream);
  releaseSoundSystem();
  EXPECT_EQ(createMusicStream(mp3), SoundResult::noSystem);
}

}  // namespace
