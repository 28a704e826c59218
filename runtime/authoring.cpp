#include "runtime/authoring.h"

#include <cstddef>

#include "platform/vkeys.h"

AuthoringState authoring;

namespace {

// True once when the key goes down; it must be released before it acts again.
bool wentDown(bool& held, bool down) {
  bool acts = down && !held;
  held = down;
  return acts;
}

void startGlide(AuthoringState& state, int step) {
  int last = static_cast<int>(state.seekMarks.size()) - 1;
  state.markIndex += step;
  if (state.markIndex > last) state.markIndex = last;
  if (state.markIndex < 0) state.markIndex = 0;
  state.gliding = true;
}

// 0.2 s per frame toward the mark, stopping within 0.2 s of it.
void continueGlide(AuthoringState& state, FrameClock& clock) {
  bool haveMark = state.markIndex >= 0 && state.markIndex < static_cast<int>(state.seekMarks.size());
  float target = haveMark ? state.seekMarks[static_cast<size_t>(state.markIndex)] : 0.0f;
  float t = clock.demoTime;
  clock.resyncMusic = true;
  if (t < target) {
    clock.seekOffset += 200;
    if (t + 0.2f > target) state.gliding = false;
  } else {
    clock.seekOffset -= 200;
    if (t - 0.2f < target) state.gliding = false;
  }
}

}  // namespace

void runGlideAndPause(AuthoringState& state, FrameClock& clock, bool hasFocus, bool editing, KeyPoll keyDown,
                      const MusicControl& music) {
  if (hasFocus && !state.gliding) {
    bool plus = wentDown(state.plusHeld, keyDown(vk::numpadAdd));
    bool minus = wentDown(state.minusHeld, keyDown(vk::numpadSubtract));
    if (plus) {
      startGlide(state, 1);
    } else if (minus) {
      startGlide(state, -1);
    }
  }
  if (state.gliding) continueGlide(state, clock);

  if (hasFocus && !editing && wentDown(state.spaceHeld, keyDown(vk::space))) {
    clock.paused = !clock.paused;
    bool musicPlaying = music.playing && music.playing();
    if (musicPlaying && music.setPaused) music.setPaused(clock.paused);
    if (!clock.paused) clock.resyncMusic = true;
  }
}

void runWinding(FrameClock& clock, bool hasFocus, KeyPoll keyDown) {
  if (!hasFocus || clock.paused) return;
  bool slow = keyDown(vk::leftShift);
  if (keyDown(vk::left)) {
    clock.seekOffset -= (slow ? 5 : 40) * clock.frameMs;
    clock.resyncMusic = true;
  }
  if (keyDown(vk::right)) {
    clock.seekOffset += (slow ? 5 : 40) * clock.frameMs;
    clock.resyncMusic = true;
  }
}
