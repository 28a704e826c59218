// The authors' keys: glide to a seek mark, pause, and winding with the arrows.
#pragma once

#include <vector>

#include "runtime/frame_clock.h"

// Polls one key by virtual-key code (platform::keyDown, or a test's fake).
using KeyPoll = bool (*)(int virtualKey);

// Calls made to keep the music in step with a pause toggle.
struct MusicControl {
  bool (*playing)() = nullptr;
  void (*setPaused)(bool paused) = nullptr;
};

struct AuthoringState {
  std::vector<float> seekMarks;  // nothing adds marks: both glide keys glide to 0 s
  int markIndex = 0;
  bool gliding = false;
  bool plusHeld = false;
  bool minusHeld = false;
  bool spaceHeld = false;
};

extern AuthoringState authoring;

// Frame step 3: the glide keys and a running glide, then the Space toggle.
// Uses the previous frame's demoTime; may change seekOffset, paused and resyncMusic.
void runGlideAndPause(AuthoringState& state, FrameClock& clock, bool hasFocus, bool editing, KeyPoll keyDown,
                      const MusicControl& music);

// Frame step 4 when not paused: the arrows wind by a multiple of frameMs.
void runWinding(FrameClock& clock, bool hasFocus, KeyPoll keyDown);
