// The demo clock: demo time from the millisecond clock plus a seek offset.
#pragma once

#include <cstdint>

struct FrameClock {
  uint32_t loopStart = 0;
  int32_t elapsed = 0;      // clock - loopStart
  int32_t frameMs = 0;      // elapsed - previous elapsed
  int32_t seekOffset = 0;   // only the authoring controls change it
  float demoTime = 0.0f;
  float demoTimeStep = 0.0f;
  bool resyncMusic = true;  // set the music position to demoTime this frame
  uint32_t previousNow = 0; // for frame pacing
  bool paused = false;
};

// Just before the first frame.
void startClock(FrameClock& clock, float demoStartTime, uint32_t now);
// The clock reading of this frame: elapsed and frameMs.
void readClock(FrameClock& clock, uint32_t now);
// After the authoring controls changed seekOffset: a change that makes the
// time negative is dropped (back to offsetBeforeControls), then demoTime and
// demoTimeStep follow.
void updateDemoTime(FrameClock& clock, int32_t offsetBeforeControls);
// Milliseconds to sleep so that frames are at least 5 ms apart.
uint32_t framePacingSleep(FrameClock& clock, uint32_t now);
