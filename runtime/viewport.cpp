#include "runtime/viewport.h"

int largestPowerOfTwoAtMost(int value) {
  if (value < 1) return 0;
  long long p = 1;
  while (p <= value) p *= 2;
  return static_cast<int>(p / 2);
}

Viewport letterboxViewport(int width, int height, float outputAspect, float contentAspect) {
  // Double precision, as the x87 evaluated it: in single precision 1024 x 768
  // would round K up to exactly 192 and move the picture by a pixel.
  double k = (1.0 - static_cast<double>(outputAspect) / static_cast<double>(contentAspect)) * height;
  return {0, static_cast<int>(k * 0.5), width, static_cast<int>(height - k)};
}
