// Arbitrary bytes as a curve file, sampled over and beyond its period.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "script/curve.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Curve curve;
  parseCurveData(DataBuffer(data, data + size), curve);
  const float times[] = {-7.5f, -0.01f, 0.0f, 0.5f, 1.0f, 2.25f, 3.0f, 99.0f, 1e30f, NAN, INFINITY};
  Vector3 p;
  for (float t : times) {
    positionAt(curve, t, p);
    tangentAt(curve, t, p);
    evaluateNormalised(curve, t, p);
  }
  return 0;
}
