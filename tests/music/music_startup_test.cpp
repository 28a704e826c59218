// The program's music: start-up from the music file, resync, pause, release,
// and what happens when the file is missing or broken.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "runtime/music.h"
#include "runtime/settings.h"
#include "tests/music/music_fixtures.h"
#include "tests/support/temp_dir.h"

namespace {

void writeBytes(const std::string& path, const DataBuffer& data) {
  writeTextFile(path, std::string(data.begin(), data.end()));
}

class MusicStartupTest : public ::testing::Test {
 protected:
  void SetUp() override { clearFileRequestLog(); }
  void TearDown() override {
    releaseMusic();
    settings = RuntimeSettings();
  }
  ScopedTempDir dir;
};

TEST_F(MusicStartupTest, PlaysTheMusicFile) {
  writeBytes(musicFileName, toneMp3(1000.0, 2.0, 0.0));
  startMusic();
  ASSERT_TRUE(musicPlaying());
  EXPECT_EQ(fileRequestLog(), std::vector<std::string>{"./duvova/dodazovar.mp3"});
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_GT(channelPositionFrames(), 0) << "started unpaused";

  // A demo time of 60 s sets 60000 ms, past the end of this music.
  syncMusicTo(60.0f);
  EXPECT_GE(channelPositionFrames(), frameOfMs(60000));
  pauseMusic();
  int64_t held = channelPositionFrames();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(channelPositionFrames(), held);
  syncMusicTo(1.2345f);  // truncated to whole milliseconds
  EXPECT_EQ(channelPositionFrames(), frameOfMs(1234));
  resumeMusic();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_GT(channelPositionFrames(), frameOfMs(1234));

  releaseMusic();
  EXPECT_FALSE(musicPlaying());
  EXPECT_FALSE(soundSystemCreated());
}

// The run goes on without music, as with "music 0", after a message naming
// the file.
TEST_F(MusicStartupTest, MissingOrBrokenFileIsReportedAndTheRunGoesOn) {
  struct Case {
    const char* what;
    bool write;
    DataBuffer contents;
    const char* problem;
  };
  std::string text = "not music";
  const Case cases[] = {
      {"missing", false, {}, "could not be read"},
      {"empty", true, {}, "could not be read"},
      {"text", true, DataBuffer(text.begin(), text.end()), "is not an MP3 file that can be played"},
  };
  for (const Case& c : cases) {
    settings.musicEnabled = true;
    if (c.write) writeBytes(musicFileName, c.contents);
    testing::internal::CaptureStderr();
    startMusic();
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find(std::string("Music ./duvova/dodazovar.mp3 ") + c.problem), std::string::npos)
        << c.what << ": " << err;
    EXPECT_FALSE(musicPlaying()) << c.what;
    EXPECT_FALSE(settings.musicEnabled) << c.what;
    EXPECT_FALSE(soundSystemCreated()) << c.what;
    std::vector<float> values(spectrumBands, 7.0f);
    getSpectrum(values.data(), spectrumWindowHanning, spectrumBands, 0);
    for (float v : values) ASSERT_EQ(v, 7.0f) << c.what;
    syncMusicTo(5.0f);
    pauseMusic();
    resumeMusic();
    releaseMusic();
  }
}

TEST_F(MusicStartupTest, MusicOffCreatesNothing) {
  writeBytes(musicFileName, toneMp3(1000.0, 1.0, 0.0));
  settings.musicEnabled = false;
  startMusic();
  EXPECT_FALSE(musicPlaying());
  EXPECT_FALSE(soundSystemCreated());
  EXPECT_TRUE(fileRequestLog().empty());
}

// SDL's disk driver stands in for a sound card: the device pulls the music
// through the callback on its own thread and writes what it got to a file.
TEST_F(MusicStartupTest, DeviceOutputCarriesTheMusic) {
  const std::string raw = dir.path() + "/device.raw";
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", raw.c_str(), 1);
  writeBytes(musicFileName, toneMp3(1000.0, 2.0, 0.0, 0.5));
  startMusic();
  bool audible = soundOutputAudible();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  pauseMusic();
  int64_t played = channelPositionFrames();
  releaseMusic();
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  if (!audible) GTEST_SKIP() << "SDL has no disk audio driver here";

  EXPECT_GT(played, frameOfMs(100));
  EXPECT_LT(played, frameOfMs(2000));
  std::string bytes = readTextFile(raw);
  ASSERT_GE(bytes.size(), 8u * 2048);
  std::vector<float> samples(bytes.size() / sizeof(float));
  std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
  float loudest = 0.0f;
  for (float s : samples) loudest = std::max(loudest, std::fabs(s));
  EXPECT_NEAR(loudest, 0.5f, 0.03f);
}

}  // namespace
