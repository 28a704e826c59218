// "spektrometri": the music's spectrum as a fan of grey line strips around X.
#pragma once

#include "effects/framework/effect.h"

class SpektrometriEffect : public Effect {
 public:
  void render(float time, float timeStep) override;
};
