// The base of every effect class: one timeline entry with its script.
#pragma once

#include "script/script.h"

class Effect {
 public:
  // Draws one frame at the global demo time. The frame's script run before it
  // and the copy into "textureOut" after it are done by the caller, the same
  // way for every class (renderEffectFrame).
  virtual void render(float time, float timeStep);
  // Once, after the script is parsed and before it first runs.
  virtual void setup();
  virtual ~Effect() = default;

  ScriptContext script;
  float start = -1000.0f;
  float length = 0.0f;
};

// The render protocol: "time", "timeStep" and "frame" set and the script run,
// render, then the frame copied into the target named by "textureOut" (none
// when it is empty).
void renderEffectFrame(Effect& effect, float time, float timeStep);
