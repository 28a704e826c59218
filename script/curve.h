// Timed cardinal-spline paths read from curve files. The key of each point is
// the parameter value at which the path reaches it, so a curve doubles as an
// animation timeline; the last key is its period.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "render/math.h"
#include "runtime/datapack.h"

struct CurveKey {
  float key = 0.0f;
  float tension = 0.0f;  // 0: Catmull-Rom tangents, 1: zero tangents
  float unused = 0.0f;
};

struct Curve {
  std::vector<Vector3> points;
  std::vector<CurveKey> keys;  // one per point
  int32_t closed = 0;          // 1: a loop through all points
  int32_t keyAsX = 0;          // 1: x of every position is the interpolated key
  int32_t pointCount = 0;
};

// Reads the curve file through readDataFile. A missing or empty file gives a
// curve without points.
Curve loadCurve(const std::string& fileName);
// The curve file format: lines of comma-separated numbers. One number sets the
// form (1 closed, 2 key as x); four or more are key, tension, x, y[, z].
void parseCurveData(const DataBuffer& data, Curve& curve);

// The position at parameter t. Nothing is written for a curve without points;
// one with fewer than four points gives the origin.
void positionAt(const Curve& curve, float t, Vector3& out);
// The unit direction of travel at t, from the longer of the differences to
// t + 0.01 and t - 0.01; (0, 0, 0) where both vanish.
void tangentAt(const Curve& curve, float t, Vector3& out);
// The spline at h: over the open curve's segments for h in [0, 1], or round
// the closed loop by the fraction of h.
void evaluateNormalised(const Curve& curve, float h, Vector3& out);
