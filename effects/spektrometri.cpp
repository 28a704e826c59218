#include "effects/spektrometri.h"

#include <GL/gl.h>

#include <cmath>

#include "render/camera.h"
#include "render/targets.h"
#include "runtime/music.h"
#include "runtime/settings.h"

namespace {

constexpr float beatRate = 3.5874999f;
constexpr float inverseBeatRate = 0.27874565f;  // the float nearest 1 / 3.5875
constexpr int stripPoints = 1024;

// P = L^4, L ramping from 0 to 1 over the 1.5 s before the duration.
float endPush(float time, float length) {
  float u = (time * beatRate) * inverseBeatRate;
  float from = length - 1.5f;
  float ramp = u < from ? 0.0f : std::fmin((u - from) / 1.5f, 1.0f);
  return ramp * ramp * ramp * ramp;
}

float spread(int i) { return static_cast<float>(std::pow(i * 0.0009765625, 2.0) * 1024.0); }

}  // namespace

void SpektrometriEffect::render(float time, float) {
  float push = endPush(time, length);
  glEnable(GL_DEPTH_TEST);

  // Straight into the camera: components a shorter vector lacks keep their values.
  float lookAt[4] = {camera.lookAt.x, camera.lookAt.y, camera.lookAt.z, 0.0f};
  float position[4] = {camera.position.x, camera.position.y, camera.position.z, 0.0f};
  getFloats(script, "cameraLookAt", lookAt);
  getFloats(script, "cameraPosition", position);
  float mul = readFloat(script, "cameraPositionMul");
  float decrease = readFloat(script, "cameraPositionMulDecrease");
  // The beat factor on t here is not undone as in the push.
  float s = (1.0f - decrease * (time * beatRate) / length) * (1.0f + 5.0f * push) * mul;
  set(camera.lookAt, lookAt[0], lookAt[1], lookAt[2]);
  set(camera.position, position[0] * s, position[1] * s, position[2] * s);
  applyCamera();

  // Without music nothing fills the array: flat strips rather than stale memory.
  float spectrum[spectrumBands] = {};
  getSpectrum(spectrum, spectrumWindowHanning, spectrumBands, 0);

  // Must exist; their values (clamped to 0..1) are not used.
  readFloat(script, "glenzBeatSpecLow");
  readFloat(script, "glenzBeatSpecHigh");

  glLineWidth(static_cast<float>(targetHeight) * 0.0029296875f);
  glDepthFunc(GL_LEQUAL);
  glDisable(GL_TEXTURE_2D);
  glEnable(GL_LINE_SMOOTH);

  float brightness = readFloat(script, "kirkkaus");
  int32_t strips = 0;
  getInt(script, "numRevol", &strips);
  float scaleX = readFloat(script, "scaleX");
  float amplitude = readFloat(script, "suuruus", 1.0f);

  for (int r = 0; r < strips; ++r) {
    // Not inside the push: the turns add up from strip to strip.
    glRotatef(static_cast<float>(r) / static_cast<float>(strips) * 360.0f, 1.0f, 0.0f, 0.0f);
    glPushMatrix();
    glBegin(GL_LINE_STRIP);
    for (int i = 0; i < stripPoints; ++i) {
      float x = static_cast<float>(i - 512) * 0.001953125f * scaleX * -8.0f;
      int j = static_cast<int>(spread(i));
      j = j < 0 ? 0 : (j > spectrumBands - 1 ? spectrumBands - 1 : j);
      // (4i - 4) / 1024: evens out the quadratic spacing of the bands.
      float weight = (spread(i) - spread(i - 2)) * amplitude;
      float grey = weight * spectrum[j] * brightness;
      glColor4f(grey, grey, grey, 1.0f);
      glVertex3f(x, spectrum[j] * weight * 200.0f, 0.0f);
    }
    glEnd();
    glPopMatrix();
  }
  glDisable(GL_LINE_SMOOTH);
  copyToTexture("back", 0, 0);
}
