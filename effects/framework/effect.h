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

// The first float of a float, vec2, vec3 or vec4 variable (the getter writes
// as many as the type has, so never straight into one float); a variable of
// another type leaves preset.
float readFloat(const ScriptContext& script, const char* name, float preset = 0.0f);

// The render protocol: "time", "timeStep" and "frame" set and the script run,
// render, then the frame copied into the target named by "textureOut" (none
// when it is empty).
void renderEffectFrame(Effect& effect, float time, float timeStep);
