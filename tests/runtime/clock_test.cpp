#include <gtest/gtest.h>

#include "runtime/frame_clock.h"
#include "runtime/settings.h"
#include "runtime/viewport.h"

namespace {

TEST(TargetSize, LargestPowerOfTwo) {
  const int cases[][2] = {{1024, 1024}, {768, 512}, {1023, 512}, {1, 1}, {0, 0}, {-5, 0}, {1920, 1024}, {1080, 1024}};
  for (const auto& c : cases) EXPECT_EQ(largestPowerOfTwoAtMost(c[0]), c[1]) << c[0];
}

TEST(Letterbox, ViewportArithmetic) {
  struct Case {
    int width, height;
    float outputAspect;
    Viewport expected;
  };
  const Case cases[] = {
      // K is just below 192: both conversions truncate.
      {1024, 768, 1024.0f / 768.0f, {0, 95, 1024, 576}},
      {1280, 720, 1280.0f / 720.0f, {0, 0, 1280, 720}},
      // Wider than 16:9: negative K, the picture starts below the window.
      {2560, 1080, 2560.0f / 1080.0f, {0, -179, 2560, 1440}},
      // Full screen: the monitor's shape, not the window's.
      {1280, 1024, 1.25f, {0, 152, 1280, 719}},
  };
  for (const Case& c : cases) {
    Viewport v = letterboxViewport(c.width, c.height, c.outputAspect, contentAspect);
    EXPECT_EQ(v.x, c.expected.x);
    EXPECT_EQ(v.y, c.expected.y) << c.width << "x" << c.height;
    EXPECT_EQ(v.width, c.expected.width);
    EXPECT_EQ(v.height, c.expected.height) << c.width << "x" << c.height;
  }
}

// One frame of the loop's clock arithmetic, with a seek-offset change made
// by the authoring controls in between.
void frame(FrameClock& clock, uint32_t now, int32_t controlChange = 0, bool paused = false) {
  readClock(clock, now);
  int32_t before = clock.seekOffset;
  clock.seekOffset += controlChange;
  if (paused) clock.seekOffset -= clock.frameMs;
  updateDemoTime(clock, before);
}

TEST(FrameClock, StartTimeAndSteps) {
  FrameClock clock;
  startClock(clock, 12.5f, 1000);
  EXPECT_EQ(clock.seekOffset, 12500);
  EXPECT_TRUE(clock.resyncMusic);
  frame(clock, 1003);
  EXPECT_FLOAT_EQ(clock.demoTime, 12.503f);
  EXPECT_NEAR(clock.demoTimeStep, 0.003f, 1e-5f);
  EXPECT_EQ(clock.frameMs, 3);
  frame(clock, 1020);
  EXPECT_EQ(clock.frameMs, 17);
  EXPECT_FLOAT_EQ(clock.demoTime, 12.52f);
}

TEST(FrameClock, PauseTakesTheFrameTimeOff) {
  FrameClock clock;
  startClock(clock, 0.0f, 0);
  frame(clock, 100);
  for (uint32_t now = 110; now <= 200; now += 10) frame(clock, now, 0, true);
  EXPECT_FLOAT_EQ(clock.demoTime, 0.1f);
  EXPECT_EQ(clock.demoTimeStep, 0.0f);
  frame(clock, 210);
  EXPECT_FLOAT_EQ(clock.demoTime, 0.11f);
}

TEST(FrameClock, NegativeTimeDropsTheChange) {
  FrameClock clock;
  startClock(clock, 0.0f, 0);
  frame(clock, 100);
  frame(clock, 105, -200);  // would be -0.095 s
  EXPECT_EQ(clock.seekOffset, 0);
  EXPECT_FLOAT_EQ(clock.demoTime, 0.105f);
  frame(clock, 110, -50);
  EXPECT_EQ(clock.seekOffset, -50);
  EXPECT_FLOAT_EQ(clock.demoTime, 0.06f);
}

TEST(FrameClock, PacingSleepsUpToFiveMilliseconds) {
  FrameClock clock;
  startClock(clock, 0.0f, 0);
  EXPECT_EQ(framePacingSleep(clock, 1000), 0u);  // previousNow starts at 0
  EXPECT_EQ(framePacingSleep(clock, 1002), 3u);
  EXPECT_EQ(framePacingSleep(clock, 1010), 0u);
  EXPECT_EQ(framePacingSleep(clock, 1015), 0u);
  // The millisecond counter wraps: still 5 ms apart, never a wrapped-around sleep.
  EXPECT_EQ(framePacingSleep(clock, 0xfffffffeu), 0u);
  EXPECT_EQ(framePacingSleep(clock, 1), 2u);
  EXPECT_EQ(framePacingSleep(clock, 0xffffffffu), 0u);
  EXPECT_EQ(framePacingSleep(clock, 16), 0u);
}

TEST(CommandLine, SwitchesAnywhere) {
  RuntimeSettings s;
  s.fullscreen = true;
  s.showFps = false;
  applyCommandLine("foo -windowed", s);
  EXPECT_FALSE(s.fullscreen);
  EXPECT_FALSE(s.showFps);
  applyCommandLine("x-fpsy", s);
  EXPECT_TRUE(s.showFps);
}

}  // namespace
