#include "render/math.h"

#include <cmath>

float dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

float vectorLength(const Vector3& a) { return std::sqrt(dot(a, a)); }

Vector3 cross(const Vector3& a, const Vector3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vector3 triangleNormal(const Vector3& a, const Vector3& b, const Vector3& c) {
  Vector3 ab = b;
  subtract(ab, a);
  Vector3 ac = c;
  subtract(ac, a);
  return cross(ab, ac);
}

void normalise(Vector3& v) {
  float length = vectorLength(v);
  if (length == 0.0f) {
    v = Vector3{};
    return;
  }
  v.x /= length;
  v.y /= length;
  v.z /= length;
}

void setAll(Vector3& v, float s) { v = {s, s, s}; }

void set(Vector3& v, float x, float y, float z) { v = {x, y, z}; }

void addComponents(Vector3& v, float x, float y, float z) {
  v.x += x;
  v.y += y;
  v.z += z;
}

void add(Vector3& v, const Vector3& w) { addComponents(v, w.x, w.y, w.z); }

void subtract(Vector3& v, const Vector3& w) {
  v.x -= w.x;
  v.y -= w.y;
  v.z -= w.z;
}

void multiplyComponents(Vector3& v, float x, float y, float z) {
  v.x *= x;
  v.y *= y;
  v.z *= z;
}

void scale(Vector3& v, float s) { multiplyComponents(v, s, s, s); }

void transformPoint(Vector4& v, const float m[16]) {
  Vector4 in = v;
  v.x = m[0] * in.x + m[4] * in.y + m[8] * in.z + m[12] * in.w;
  v.y = m[1] * in.x + m[5] * in.y + m[9] * in.z + m[13] * in.w;
  v.z = m[2] * in.x + m[6] * in.y + m[10] * in.z + m[14] * in.w;
  v.w = 0.0f;
}

void rotateAboutAxis(Vector3& v, int axis, float angle) {
  float c = std::cos(angle);
  float s = std::sin(angle);
  Vector3 in = v;
  switch (axis) {
    case 0:
      v.y = c * in.y + s * in.z;
      v.z = c * in.z - s * in.y;
      break;
    case 1:
      v.x = c * in.x + s * in.z;
      v.z = c * in.z - s * in.x;
      break;
    case 2:
      v.x = c * in.x - s * in.y;
      v.y = s * in.x + c * in.y;
      break;
    default:
      break;
  }
}

void rotateAboutVector(Vector3& v, const Vector3& k, float angle) {
  float c = std::cos(angle);
  float s = std::sin(angle);
  float d = dot(k, v);
  Vector3 in = v;
  v.x = c * (in.x * (k.y * k.y + k.z * k.z) - k.x * (k.y * in.y + k.z * in.z)) + s * (k.y * in.z - k.z * in.y) +
        k.x * d;
  v.y = c * (in.y * (k.x * k.x + k.z * k.z) - k.y * (k.x * in.x + k.z * in.z)) + s * (k.z * in.x - k.x * in.z) +
        k.y * d;
  v.z = c * (in.z * (k.x * k.x + k.y * k.y) - k.z * (k.x * in.x + k.y * in.y)) + s * (k.x * in.y - k.y * in.x) +
        k.z * d;
}

void multiplyMatrices(const float a[16], const float b[16], float out[16]) {
  float result[16];
  for (int c = 0; c < 4; ++c) {
    for (int r = 0; r < 4; ++r) {
      result[4 * c + r] = a[r] * b[4 * c] + a[4 + r] * b[4 * c + 1] + a[8 + r] * b[4 * c + 2] + a[12 + r] * b[4 * c + 3];
    }
  }
  copyMatrix(result, out);
}

void copyMatrix(const float m[16], float out[16]) {
  for (int i = 0; i < 16; ++i) out[i] = m[i];
}

Vector4 matrixRow(const float m[16], int i) { return {m[i], m[i + 4], m[i + 8], m[i + 12]}; }
