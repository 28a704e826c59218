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
  // Measured as a difference, so the wrap of the 32-bit counter is harmless.
  uint32_t since = now - clock.previousNow;
  clock.previousNow = now;
  return since < 5 ? 5 - since : 0;
}
