#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "platform/vkeys.h"
#include "runtime/authoring.h"

namespace {

std::set<int> keysDown;
bool fakeKey(int v) { return keysDown.count(v) > 0; }

struct MusicLog {
  bool playing = true;
  std::vector<bool> pauseCalls;
} musicLog;
bool fakePlaying() { return musicLog.playing; }
void fakeSetPaused(bool paused) { musicLog.pauseCalls.push_back(paused); }
const MusicControl fakeMusic = {fakePlaying, fakeSetPaused};

// Drives the clock the way the frame loop does, one frame every frameMs.
struct Loop {
  FrameClock clock;
  AuthoringState state;
  uint32_t now = 0;
  explicit Loop(float startTime) {
    keysDown.clear();
    musicLog = MusicLog{};
    startClock(clock, startTime, 0);
  }
  void frame(uint32_t frameMs = 5) {
    now += frameMs;
    readClock(clock, now);
    runGlideAndPause(state, clock, true, false, fakeKey, fakeMusic);
    int32_t before = clock.seekOffset;
    if (clock.paused) {
      clock.seekOffset -= clock.frameMs;
    } else {
      runWinding(clock, true, fakeKey);
    }
    updateDemoTime(clock, before);
    clock.resyncMusic = false;  // as if the music had been re-positioned
  }
};

TEST(Winding, SpeedsPerFrame) {
  struct Case {
    std::set<int> keys;
    float stepPerFrame;
  };
  const Case cases[] = {
      {{vk::right}, 0.205f},
      {{vk::right, vk::leftShift}, 0.030f},
      {{vk::left}, -0.195f},
      {{vk::left, vk::leftShift}, -0.020f},
      {{vk::left, vk::right}, 0.005f},
      {{vk::right, vk::rightShift}, 0.205f},  // only the left Shift slows down
  };
  for (const Case& c : cases) {
    Loop loop(100.0f);
    loop.frame();
    keysDown = c.keys;
    float before = loop.clock.demoTime;
    loop.frame();
    EXPECT_NEAR(loop.clock.demoTime - before, c.stepPerFrame, 1e-4f);
  }
}

TEST(Winding, SetsTheMusicResync) {
  Loop loop(10.0f);
  keysDown = {vk::right};
  loop.now += 5;
  readClock(loop.clock, loop.now);
  loop.clock.resyncMusic = false;
  runWinding(loop.clock, true, fakeKey);
  EXPECT_TRUE(loop.clock.resyncMusic);
  loop.clock.resyncMusic = false;
  runWinding(loop.clock, false, fakeKey);  // no focus, no winding
  EXPECT_FALSE(loop.clock.resyncMusic);
}

TEST(Winding, BackPastZeroStopsAtTheFrameBefore) {
  Loop loop(0.5f);
  keysDown = {vk::left};
  float last = loop.clock.demoTime;
  for (int i = 0; i < 10; ++i) {
    loop.frame();
    EXPECT_GE(loop.clock.demoTime, 0.0f);
    last = loop.clock.demoTime;
  }
  // 0.5 s back at 0.195 s per frame: 0.305, 0.11, then the winding is dropped
  // and time only moves on by the frame's 5 ms.
  EXPECT_NEAR(last, 0.11f + 8 * 0.005f, 1e-4f);
}

TEST(Glide, TowardZeroAtTwoTenthsPerFrame) {
  Loop loop(1.0f);
  keysDown = {vk::numpadSubtract};
  loop.frame();
  keysDown.clear();
  EXPECT_TRUE(loop.state.gliding);
  int frames = 1;
  while (loop.state.gliding && frames < 100) {
    loop.frame();
    ++frames;
  }
  EXPECT_FALSE(loop.state.gliding);
  // The last step may overshoot: within 0.2 s of the mark, either side.
  EXPECT_LT(std::fabs(loop.clock.demoTime), 0.2f);
  EXPECT_LE(frames, 7);
}

TEST(Glide, PlusAlsoGoesToZeroWithoutMarks) {
  Loop loop(0.0f);
  for (int i = 0; i < 200; ++i) loop.frame();  // 1 s
  keysDown = {vk::numpadAdd};
  for (int i = 0; i < 20; ++i) loop.frame();
  EXPECT_FALSE(loop.state.gliding);
  EXPECT_LT(loop.clock.demoTime, 0.3f);
}

TEST(Pause, FreezesTimeAndResumesWithTheMusicInStep) {
  Loop loop(10.0f);
  loop.frame();
  keysDown = {vk::space};
  loop.frame();
  EXPECT_TRUE(loop.clock.paused);
  float frozen = loop.clock.demoTime;
  for (int i = 0; i < 50; ++i) loop.frame();  // still held: acts once
  EXPECT_TRUE(loop.clock.paused);
  EXPECT_FLOAT_EQ(loop.clock.demoTime, frozen);
  keysDown.clear();
  loop.frame();
  keysDown = {vk::right};
  loop.frame();  // no winding while paused
  EXPECT_FLOAT_EQ(loop.clock.demoTime, frozen);

  keysDown = {vk::space};
  loop.now += 5;
  readClock(loop.clock, loop.now);
  runGlideAndPause(loop.state, loop.clock, true, false, fakeKey, fakeMusic);
  EXPECT_FALSE(loop.clock.paused);
  EXPECT_TRUE(loop.clock.resyncMusic);
  EXPECT_EQ(musicLog.pauseCalls, (std::vector<bool>{true, false}));
}

TEST(Pause, NotWhileEditingOrWithoutFocus) {
  Loop loop(1.0f);
  keysDown = {vk::space};
  loop.now += 5;
  readClock(loop.clock, loop.now);
  runGlideAndPause(loop.state, loop.clock, true, true, fakeKey, fakeMusic);
  EXPECT_FALSE(loop.clock.paused);
  runGlideAndPause(loop.state, loop.clock, false, false, fakeKey, fakeMusic);
  EXPECT_FALSE(loop.clock.paused);
}

}  // namespace
