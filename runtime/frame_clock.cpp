#include "runtime/frame_clock.h"

void startClock(FrameClock& clock, float demoStartTime, uint32_t now) {
  clock = FrameClock{};
  clock.demoTime = demoStartTime;
  clock.seekOffset = static_cast<int32_t>(demoStartTime * 1000.0f);
  clock.resyncMusic = true;
  clock.loopStart = now;
}

void readClock(FrameClock& clock, uint32_t now) {
  int32_t elapsed = static_cast<int32_t>(now - clock.loopStart);
  clock.frameMs = elapsed - clock.elapsed;
  clock.elapsed = elapsed;
}

void updateDemoTime(FrameClock& clock, int32_t offsetBeforeControls) {
  if (static_cast<int64_t>(clock.elapsed) + clock.seekOffset < 0) clock.seekOffset = offsetBeforeControls;
  float time = static_cast<float>(clock.elapsed + clock.seekOffset) * 0.001f;
  clock.demoTimeStep = time - clock.demoTime;
  clock.demoTime = time;
}

uint32_t framePacingSleep(FrameClock& clock, uint32_t now) {
  int64_t sleep = static_cast<int64_t>(clock.previousNow) + 5 - static_cast<int64_t>(now);
  clock.previousNow = now;
  return sleep > 0 ? static_cast<uint32_t>(sleep) : 0;
}
