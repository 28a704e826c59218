// Curve files and the spline: open and closed, key as x, tensions 0 and 1.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "script/curve.h"

namespace {

Curve curveFrom(const std::string& text) {
  Curve curve;
  parseCurveData(DataBuffer(text.begin(), text.end()), curve);
  return curve;
}

Vector3 at(const Curve& curve, float t) {
  Vector3 p{99, 99, 99};
  positionAt(curve, t, p);
  return p;
}

void expectPoint(const Vector3& got, float x, float y, float z, const char* what) {
  EXPECT_NEAR(got.x, x, 1e-5f) << what;
  EXPECT_NEAR(got.y, y, 1e-5f) << what;
  EXPECT_NEAR(got.z, z, 1e-5f) << what;
}

// Keys 0..4; the y values make the two halves of each segment differ.
const char* const openFile =
    "0,0, 0,0,0\n"
    "1,0, 1,1,0\n"
    "2,0, 2,3,0\n"
    "3,0, 3,2,0\n"
    "4,0, 4,0,0\n";

TEST(CurveFile, LinesAndFields) {
  Curve c = curveFrom(
      "1\n"                  // form: closed
      "0.5, 0.25, 1, 2, 3, 9\n"  // a sixth number is read and not used
      ",,1,,0,,4,,5,,\n"     // runs of commas count as one
      "2, x, 0, 6, 7\n"      // a field that is no number is not counted: four numbers, z = 0
      "1, 2\n"               // two numbers: ignored
      "1, 2, 3\r\n"          // three: ignored; the carriage return is dropped
      "5\n"                  // another form value: no change
      "9,9,9,9");            // no newline after it: not read
  EXPECT_EQ(c.closed, 1);
  EXPECT_EQ(c.keyAsX, 0);
  ASSERT_EQ(c.pointCount, 3);
  EXPECT_EQ(c.keys[0].key, 0.5f);
  EXPECT_EQ(c.keys[0].tension, 0.25f);
  expectPoint(c.points[0], 1, 2, 3, "first");
  EXPECT_EQ(c.keys[1].key, 1.0f);
  expectPoint(c.points[1], 4, 5, 0, "commas");
  EXPECT_EQ(c.keys[2].key, 2.0f);
  expectPoint(c.points[2], 6, 7, 0, "skipped field");

  Curve last = curveFrom("1\n2\n");
  EXPECT_EQ(last.closed, 0);
  EXPECT_EQ(last.keyAsX, 1);
}

TEST(CurveEvaluation, OpenCurveWithCatmullRomTangents) {
  Curve c = curveFrom(openFile);
  // Halfway between points 1 and 2: (-P0 + 9 P1 + 9 P2 - P3) / 16.
  expectPoint(at(c, 1.5f), 1.5f, (9 * 1 + 9 * 3 - 2) / 16.0f, 0, "1.5");
  expectPoint(at(c, 0.5f), 1, 1, 0, "before key 1: point 1");
  expectPoint(at(c, 1.0f), 1, 1, 0, "key 1");
  expectPoint(at(c, 2.0f), 2, 3, 0, "key 2");
  expectPoint(at(c, 3.5f), 3, 2, 0, "past key n-2: point n-2");
  expectPoint(at(c, 5.5f), at(c, 1.5f).x, at(c, 1.5f).y, 0, "wrapped by the period");
  expectPoint(at(c, -2.5f), 1, 1, 0, "negative time stays negative");
}

TEST(CurveEvaluation, TensionOneGivesEaseCurves) {
  Curve c = curveFrom(
      "0,1, 0,0,0\n"
      "1,1, 1,1,0\n"
      "2,1, 2,3,0\n"
      "3,1, 3,2,0\n"
      "4,1, 4,0,0\n");
  // Zero end tangents: P1 + (3u^2 - 2u^3)(P2 - P1); at u = 0.25 that is 0.15625.
  expectPoint(at(c, 1.25f), 1.15625f, 1 + 0.15625f * 2, 0, "u 0.25");
  expectPoint(at(c, 1.5f), 1.5f, 2, 0, "u 0.5");
}

TEST(CurveEvaluation, ClosedCurveLoops) {
  Curve c = curveFrom(
      "1\n"
      "1,0, 1,0,0\n"
      "2,0, 0,1,0\n"
      "3,0, -1,0,0\n"
      "4,0, 0,-1,0\n"
      "5,0, 0,0,1\n");
  expectPoint(at(c, 0.0f), 0, 0, 1, "time 0: the last point");
  expectPoint(at(c, 1.0f), 1, 0, 0, "key 0: the first point");
  expectPoint(at(c, 3.0f), -1, 0, 0, "key 2");
  for (float t : {0.3f, 1.7f, 4.2f}) {
    Vector3 a = at(c, t);
    Vector3 b = at(c, t + 5.0f);
    EXPECT_NEAR(a.x, b.x, 1e-4f) << t;
    EXPECT_NEAR(a.y, b.y, 1e-4f) << t;
    EXPECT_NEAR(a.z, b.z, 1e-4f) << t;
  }
  Curve zeroKey = curveFrom("1\n0,0,1,0,0\n1,0,0,1,0\n2,0,-1,0,0\n3,0,0,-1,0\n");
  EXPECT_TRUE(std::isnan(at(zeroKey, 0.0f).x));  // 0 / 0 at time 0
}

TEST(CurveEvaluation, KeyAsX) {
  Curve c = curveFrom(std::string("2\n") + openFile);
  Vector3 p = at(c, 1.25f);
  EXPECT_NEAR(p.x, 1.25f, 1e-5f);  // the key interpolated along the segment
  Curve plain = curveFrom(openFile);
  EXPECT_NEAR(p.y, at(plain, 1.25f).y, 1e-6f);
}

TEST(CurveEvaluation, CurvesTooShortToEvaluate) {
  Curve none = curveFrom("");
  Vector3 p{7, 7, 7};
  positionAt(none, 1.0f, p);
  expectPoint(p, 7, 7, 7, "no points: nothing written");
  for (const char* text : {"0,0,1,1,1\n", "0,0,1,1,1\n1,0,2,2,2\n2,0,3,3,3\n", "1\n0,0,1,1,1\n1,0,2,2,2\n"}) {
    Curve c = curveFrom(text);
    expectPoint(at(c, 0.5f), 0, 0, 0, text);
    Vector3 t;
    tangentAt(c, 0.5f, t);
    expectPoint(t, 0, 0, 0, text);
    evaluateNormalised(c, 0.5f, t);
    expectPoint(t, 0, 0, 0, text);
  }
}

TEST(CurveEvaluation, Tangents) {
  Curve line = curveFrom("0,0,0,0,0\n1,0,1,0,0\n2,0,2,0,0\n3,0,3,0,0\n4,0,4,0,0\n");
  Vector3 t;
  tangentAt(line, 1.5f, t);
  expectPoint(t, 1, 0, 0, "middle");
  tangentAt(line, 3.0f, t);  // the clamped end: only the step back moves
  expectPoint(t, 1, 0, 0, "end");
  Curve still = curveFrom("0,0,1,1,1\n1,0,1,1,1\n2,0,1,1,1\n3,0,1,1,1\n");
  tangentAt(still, 1.5f, t);
  expectPoint(t, 0, 0, 0, "no movement");
}

TEST(CurveEvaluation, NormalisedOutOfRangeStaysInsideThePoints) {
  Curve open = curveFrom(openFile);
  Curve closed = curveFrom(std::string("1\n") + openFile);
  for (float h : {-3.0f, -0.5f, 0.0f, 1.0f, 1.5f, 40.0f, NAN, INFINITY, -INFINITY, 1e30f}) {
    Vector3 p;
    evaluateNormalised(open, h, p);
    evaluateNormalised(closed, h, p);
    positionAt(open, h, p);
    positionAt(closed, h, p);
  }
  Vector3 end;
  evaluateNormalised(open, 1.0f, end);
  expectPoint(end, 3, 2, 0, "h 1: point n-2");
  // Past either end the segment index is limited, however far past.
  for (float h : {40.0f, 1e30f}) {
    evaluateNormalised(open, h, end);
    expectPoint(end, 2, 3, 0, "last segment, u 0");
  }
  evaluateNormalised(open, -1e30f, end);
  expectPoint(end, 1, 1, 0, "first segment, u 0");
}

}  // namespace
