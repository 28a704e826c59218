// Vectors and 4 x 4 matrices shared by meshes, curves, the camera, lights and
// the script's vector built-ins. Matrices are 16 floats in OpenGL column
// order: element (row r, column c) is at 4c + r, the translation at 12..14.
#pragma once

struct Vector3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

// Light positions and program parameters: a Vector3 followed by w.
struct Vector4 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  float w = 0.0f;
};

float dot(const Vector3& a, const Vector3& b);
float vectorLength(const Vector3& a);
Vector3 cross(const Vector3& a, const Vector3& b);
// cross(b - a, c - a), not normalised.
Vector3 triangleNormal(const Vector3& a, const Vector3& b, const Vector3& c);

// The operations below write their result into v.
void normalise(Vector3& v);  // a zero vector stays (0, 0, 0)
void setAll(Vector3& v, float s);
void set(Vector3& v, float x, float y, float z);
void addComponents(Vector3& v, float x, float y, float z);
void add(Vector3& v, const Vector3& w);
void subtract(Vector3& v, const Vector3& w);
void multiplyComponents(Vector3& v, float x, float y, float z);
void scale(Vector3& v, float s);

// v = (M x v).xyz with v.w as the fourth input; the result's w is 0, so a w of
// 0 leaves out the translation and 1 includes it.
void transformPoint(Vector4& v, const float m[16]);

// Rotation about coordinate axis 0 (X), 1 (Y) or 2 (Z), angle in radians:
//   X: y' = c*y + s*z, z' = c*z - s*y   (turns y towards z)
//   Y: x' = c*x + s*z, z' = c*z - s*x
//   Z: x' = c*x - s*y, y' = s*x + c*y
// Any other axis leaves v as it is.
void rotateAboutAxis(Vector3& v, int axis, float angle);
// Rodrigues' rotation about the unit direction k, angle in radians:
//   v' = v*c + cross(k, v)*s + k*dot(k, v)*(1 - c), written out per component.
void rotateAboutVector(Vector3& v, const Vector3& k, float angle);

// out = a x b (b applies first to a column vector); out may be a or b.
void multiplyMatrices(const float a[16], const float b[16], float out[16]);
void copyMatrix(const float m[16], float out[16]);
// Row i: (m[i], m[i + 4], m[i + 8], m[i + 12]).
Vector4 matrixRow(const float m[16], int i);
