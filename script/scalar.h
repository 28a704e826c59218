// Envelopes, ramps and the program-wide random sequence: the script built-ins
// are made of these, and effects call them directly.
#pragma once

#include <cstdint>

// 1 - 22/9 q^2 + 17/9 q^4 - 4/9 q^6 with q = r/R: 1 at r = 0 falling to 0 at
// r = R with zero slope at both ends; 0 unless r < R, 1 unless r > 0.
float softFalloff(float r, float radius);
// 0 before s, (t - s)/d while rising, 1 from s + d on.
float rampUp(float t, float s, float d);
// 1 before s, 1 - (t - s)/d while falling, 0 from s + d on.
float rampDown(float t, float s, float d);
// rampUp(t, s1, d1) * rampDown(t, s2, d2).
float rampPulse(float t, float s1, float d1, float s2, float d2);
// 1 when x >= 0, else 0.
float stepAtZero(float x);
float clamp01(float x);
// Fraction in [0, 1) for x >= 0; 1 - frac(-x) below (so -1 gives 1).
float wrap01(float x);
// s = (x > 0 ? 1 : -1); |x|^y, times s when keepSign. x = 0 takes s = -1.
float powSigned(float x, float y, bool keepSign);
// As powSigned with the whole power n >= 1, by repeated multiplication.
float intPowSigned(int n, bool keepSign, float x);
// atan(a/b), plus pi when b < 0; +-pi/2 when b = 0. Range (-pi/2, 3pi/2).
float atanRatio(float a, float b);

// The one pseudo-random sequence of the program, shared by scripts and
// effects: state = state * 214013 + 2531011, result (state >> 16) & 0x7FFF.
// The state starts at 1.
int random15();
void seedRandom15(uint32_t seed);
