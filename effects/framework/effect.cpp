#include "effects/framework/effect.h"

#include "render/targets.h"

void Effect::render(float, float) {}

void Effect::setup() {}

float readFloat(const ScriptContext& script, const char* name, float preset) {
  float value[4] = {preset, 0.0f, 0.0f, 0.0f};
  getFloats(script, name, value);
  return value[0];
}

void renderEffectFrame(Effect& effect, float time, float timeStep) {
  runScriptFrame(effect.script, time, timeStep);
  effect.render(time, timeStep);
  std::string out;
  getText(effect.script, "textureOut", &out, 0);
  if (!out.empty()) copyToTexture(out, 0, 0);
}
