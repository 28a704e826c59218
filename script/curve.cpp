// Curve files and the cardinal spline through their points.
#include "script/curve.h"

#include <cmath>

#include "runtime/text_files.h"
#include "script/internal.h"

namespace {

// Up to six numbers of one line: fields between commas (runs of commas count
// as one), each read as a decimal number; fields that are not are skipped.
int lineNumbers(const std::string& line, float numbers[6]) {
  int count = 0;
  size_t begin = 0;
  while (begin <= line.size() && count < 6) {
    size_t end = line.find(',', begin);
    if (end == std::string::npos) end = line.size();
    std::string field = line.substr(begin, end - begin);
    if (readDecimal(field.c_str(), &numbers[count])) ++count;
    begin = end + 1;
  }
  return count;
}

void applyLine(const std::string& line, Curve& curve) {
  float n[6];
  int count = lineNumbers(line, n);
  if (count == 1) {
    int form = truncToInt(n[0]);
    if (form == 1) {
      curve.closed = 1;
      curve.keyAsX = 0;
    } else if (form == 2) {
      curve.closed = 0;
      curve.keyAsX = 1;
    }
  } else if (count >= 4) {
    curve.keys.push_back({n[0], n[1], 0.0f});
    curve.points.push_back({n[2], n[3], count >= 5 ? n[4] : 0.0f});
  }
}

// The Hermite segment from p1 to p2 with tangents lambda (p2 - p0) and
// lambda (p3 - p1), lambda = 0.5 - 0.5 k and k the tension blended along u.
float segment(float p0, float p1, float p2, float p3, float u, float lambda) {
  float u2 = u * u;
  float u3 = u2 * u;
  return p1 + u * lambda * (p2 - p0) + u2 * (2.0f * lambda * p0 + (lambda - 3.0f) * p1 + (3.0f - 2.0f * lambda) * p2 - lambda * p3) +
         u3 * (-lambda * p0 + (2.0f - lambda) * p1 + (lambda - 2.0f) * p2 + lambda * p3);
}

void evaluateSegment(const Curve& curve, const int i[4], float u, Vector3& out) {
  const Vector3* p = curve.points.data();
  float k = (1.0f - u) * curve.keys[i[1]].tension + u * curve.keys[i[2]].tension;
  float lambda = 0.5f - 0.5f * k;
  out.x = segment(p[i[0]].x, p[i[1]].x, p[i[2]].x, p[i[3]].x, u, lambda);
  out.y = segment(p[i[0]].y, p[i[1]].y, p[i[2]].y, p[i[3]].y, u, lambda);
  out.z = segment(p[i[0]].z, p[i[1]].z, p[i[2]].z, p[i[3]].z, u, lambda);
  if (curve.keyAsX) out.x = (1.0f - u) * curve.keys[i[1]].key + u * curve.keys[i[2]].key;
}

int usablePoints(const Curve& curve) {
  size_t n = curve.points.size() < curve.keys.size() ? curve.points.size() : curve.keys.size();
  return static_cast<int>(n);
}

Vector3 difference(Vector3 a, const Vector3& b) {
  subtract(a, b);
  return a;
}

}  // namespace

void parseCurveData(const DataBuffer& data, Curve& curve) {
  std::string line;
  for (uint8_t byte : data) {
    char c = static_cast<char>(byte);
    if (c == '\n') {
      applyLine(line, curve);
      line.clear();
    } else if (c != '\r') {
      line.push_back(c);
    }
  }
  curve.pointCount = static_cast<int32_t>(curve.points.size());
}

Curve loadCurve(const std::string& fileName) {
  Curve curve;
  DataBuffer data;
  readDataFile(fileName, data);
  parseCurveData(data, curve);
  return curve;
}

void evaluateNormalised(const Curve& curve, float h, Vector3& out) {
  int n = usablePoints(curve);
  if (n < 4) {
    out = Vector3{};
    return;
  }
  int i[4];
  float u;
  if (!curve.closed) {
    float c = h * static_cast<float>(n - 3);
    if (c == static_cast<float>(n - 3)) {
      i[0] = n - 4;
      u = 1.0f;
    } else {
      // Limited before the conversion, so that a c beyond the int range
      // still picks the last segment (and a NaN the first).
      float whole = std::trunc(c);
      i[0] = !(whole > 0.0f) ? 0 : whole >= static_cast<float>(n - 4) ? n - 4 : static_cast<int>(whole);
      u = c - whole;
    }
    for (int k = 1; k < 4; ++k) i[k] = i[0] + k;
  } else {
    float c = (h - std::trunc(h)) * static_cast<float>(n);
    float whole = std::trunc(c);
    int j = truncToInt(whole);
    i[0] = j < 0 ? 0 : j > n ? n : j;  // at most n after rounding; each index is reduced once
    u = c - whole;
    for (int k = 1; k < 4; ++k) i[k] = i[0] + k;
    for (int k = 0; k < 4; ++k) {
      if (i[k] > n - 1) i[k] -= n;
    }
  }
  evaluateSegment(curve, i, u, out);
}

void positionAt(const Curve& curve, float t, Vector3& out) {
  int n = usablePoints(curve);
  if (n == 0) return;
  if (n < 4) {
    out = Vector3{};
    return;
  }
  const std::vector<CurveKey>& keys = curve.keys;
  float period = keys[n - 1].key;
  float v = period != 0.0f ? t / period : t;
  float f = period * (v - std::trunc(v));  // toward zero: negative t stays negative
  int i = 0;
  if (!(f <= keys[0].key)) {
    i = n - 1;
    for (int k = 1; k < n; ++k) {
      if (f <= keys[k].key) {
        i = k;
        break;
      }
    }
  }
  int g = i == 0 ? n - 1 : i - 1;
  float s = i > 0 ? (keys[i].key - f) / (keys[g].key - keys[i].key) : (keys[0].key - f) / -keys[0].key;
  float count = static_cast<float>(n);
  if (curve.closed) {
    evaluateNormalised(curve, (s + static_cast<float>(i)) / count + (count - 1.0f) / count, out);
  } else if (i < 2) {
    out = curve.points[1];
  } else if (i == n - 1) {
    out = curve.points[n - 2];
  } else {
    evaluateNormalised(curve, (s + static_cast<float>(i) - 1.0f) / (count - 3.0f), out);
  }
}

void tangentAt(const Curve& curve, float t, Vector3& out) {
  const float delta = 0.01f;
  Vector3 p, ahead, behind;
  positionAt(curve, t, p);
  positionAt(curve, t + delta, ahead);
  positionAt(curve, t - delta, behind);
  Vector3 a = difference(ahead, p);
  Vector3 b = difference(behind, p);
  float la = vectorLength(a);
  float lb = vectorLength(b);
  if (la > lb) {
    out = {a.x / la, a.y / la, a.z / la};
  } else if (lb > 0.0f) {
    out = {-b.x / lb, -b.y / lb, -b.z / lb};
  } else {
    out = Vector3{};
  }
}
