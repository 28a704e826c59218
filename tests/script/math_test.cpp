// Vector and matrix operations: the zero-vector rule, the order of each
// rotation's terms and which components a transform reads.
#include <gtest/gtest.h>

#include "render/math.h"

namespace {

const float halfPi = 1.5707963f;

void expectVector(const Vector3& v, float x, float y, float z) {
  EXPECT_NEAR(v.x, x, 1e-6f);
  EXPECT_NEAR(v.y, y, 1e-6f);
  EXPECT_NEAR(v.z, z, 1e-6f);
}

TEST(VectorMath, ProductsAndLengths) {
  Vector3 a{1, 2, 3};
  Vector3 b{4, 5, 6};
  EXPECT_EQ(dot(a, b), 32.0f);
  expectVector(cross(a, b), -3, 6, -3);
  expectVector(cross({1, 0, 0}, {0, 1, 0}), 0, 0, 1);
  EXPECT_EQ(vectorLength({3, 0, 4}), 5.0f);
  expectVector(triangleNormal({1, 1, 1}, {2, 1, 1}, {1, 2, 1}), 0, 0, 1);

  Vector3 zero;
  normalise(zero);
  expectVector(zero, 0, 0, 0);
  Vector3 v{3, 0, 4};
  normalise(v);
  expectVector(v, 0.6f, 0, 0.8f);
}

TEST(VectorMath, ComponentOperations) {
  Vector3 v;
  setAll(v, 2);
  expectVector(v, 2, 2, 2);
  set(v, 1, 2, 3);
  addComponents(v, 1, 1, 1);
  expectVector(v, 2, 3, 4);
  add(v, {1, 2, 3});
  expectVector(v, 3, 5, 7);
  subtract(v, {3, 5, 7});
  expectVector(v, 0, 0, 0);
  set(v, 1, 2, 3);
  multiplyComponents(v, 2, 3, 4);
  expectVector(v, 2, 6, 12);
  scale(v, 0.5f);
  expectVector(v, 1, 3, 6);
}

TEST(VectorMath, Rotations) {
  Vector3 v{1, 0, 0};
  rotateAboutAxis(v, 2, halfPi);
  expectVector(v, 0, 1, 0);
  v = {0, 1, 0};
  rotateAboutAxis(v, 0, halfPi);  // X turns y towards z... seen as (0, 0, -1) here
  expectVector(v, 0, 0, -1);
  v = {1, 0, 0};
  rotateAboutAxis(v, 1, halfPi);
  expectVector(v, 0, 0, -1);
  v = {1, 2, 3};
  rotateAboutAxis(v, 5, halfPi);
  expectVector(v, 1, 2, 3);

  v = {1, 0, 0};
  rotateAboutVector(v, {0, 0, 1}, halfPi);
  expectVector(v, 0, 1, 0);
  v = {1, 0, 0};
  rotateAboutVector(v, {0, 1, 0}, halfPi);
  expectVector(v, 0, 0, -1);
  v = {0.3f, -0.2f, 0.9f};  // about Z, the same as the axis rotation
  Vector3 w = v;
  rotateAboutVector(v, {0, 0, 1}, 0.7f);
  rotateAboutAxis(w, 2, 0.7f);
  expectVector(v, w.x, w.y, w.z);
}

TEST(MatrixMath, TransformsAndProducts) {
  // Scale by 2 with translation (10, 20, 30), in column order.
  const float m[16] = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 10, 20, 30, 1};
  Vector4 point{1, 2, 3, 1};
  transformPoint(point, m);
  EXPECT_EQ(point.x, 12.0f);
  EXPECT_EQ(point.y, 24.0f);
  EXPECT_EQ(point.z, 36.0f);
  EXPECT_EQ(point.w, 0.0f);
  Vector4 direction{1, 2, 3, 0};
  transformPoint(direction, m);
  EXPECT_EQ(direction.x, 2.0f);
  EXPECT_EQ(direction.z, 6.0f);

  // Translate after scaling: A x B applies B first.
  const float translate[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 5, 0, 0, 1};
  const float scaleBy3[16] = {3, 0, 0, 0, 0, 3, 0, 0, 0, 0, 3, 0, 0, 0, 0, 1};
  float product[16];
  multiplyMatrices(translate, scaleBy3, product);
  Vector4 p{1, 0, 0, 1};
  transformPoint(p, product);
  EXPECT_EQ(p.x, 8.0f);
  multiplyMatrices(scaleBy3, translate, product);
  p = {1, 0, 0, 1};
  transformPoint(p, product);
  EXPECT_EQ(p.x, 18.0f);

  float copy[16];
  copyMatrix(m, copy);
  multiplyMatrices(copy, translate, copy);  // the output may be an input
  EXPECT_EQ(copy[12], 20.0f);
  Vector4 row = matrixRow(m, 0);
  EXPECT_EQ(row.x, 2.0f);
  EXPECT_EQ(row.w, 10.0f);
}

}  // namespace
