#include "script/scalar.h"

#include <cmath>

#include "script/state.h"

float softFalloff(float r, float radius) {
  if (!(r < radius)) return 0.0f;
  if (!(r > 0.0f)) return 1.0f;
  const float a = 2.444444417953491f;   // 22/9
  const float b = 1.8888888359069824f;  // 17/9
  const float c = 0.4444444477558136f;  // 4/9
  float q = r / radius;
  float q2 = q * q;
  float q4 = q2 * q2;
  float q6 = q4 * q2;
  return 1.0f - a * q2 + b * q4 - c * q6;
}

float rampUp(float t, float s, float d) {
  if (t < s) return 0.0f;
  if (d <= t - s) return 1.0f;
  return (t - s) / d;
}

float rampDown(float t, float s, float d) {
  if (t < s) return 1.0f;
  if (d <= t - s) return 0.0f;
  return 1.0f - (t - s) / d;
}

float rampPulse(float t, float s1, float d1, float s2, float d2) { return rampUp(t, s1, d1) * rampDown(t, s2, d2); }

float stepAtZero(float x) { return x >= 0.0f ? 1.0f : 0.0f; }

float clamp01(float x) {
  if (x < 0.0f) return 0.0f;
  if (x > 1.0f) return 1.0f;
  return x;
}

float wrap01(float x) {
  if (x >= 0.0f) return x - std::trunc(x);
  return 1.0f - (-x - std::trunc(-x));
}

float powSigned(float x, float y, bool keepSign) {
  float s = x > 0.0f ? 1.0f : -1.0f;
  float p = std::pow(x * s, y);
  return keepSign ? p * s : p;
}

float intPowSigned(int n, bool keepSign, float x) {
  float s = x > 0.0f ? 1.0f : -1.0f;
  float m = x * s;
  float p = m;
  for (int k = 1; k < n; ++k) p *= m;
  return keepSign ? s * p : p;
}

float atanRatio(float a, float b) {
  const float pi = 3.1415927410125732f;
  const float halfPi = 1.5707963705062866f;
  if (b > 0.0f) return std::atan(a / b);
  if (b < 0.0f) return std::atan(a / b) + pi;
  return a >= 0.0f ? halfPi : -halfPi;
}

int random15() {
  scriptState.randomState = scriptState.randomState * 214013u + 2531011u;
  return static_cast<int>((scriptState.randomState >> 16) & 0x7FFFu);
}

void seedRandom15(uint32_t seed) { scriptState.randomState = seed; }
