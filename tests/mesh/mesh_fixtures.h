// Objects and curves shared by the mesh tests.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "mesh/mesh.h"
#include "script/curve.h"
#include "tools/lwo_writer.h"

// The cube from (-1, -1, -1) to (1, 1, 1) as six outward-facing quadrangles.
// Each quadrangle starts at a corner with an even number of negative
// coordinates, so those four corners are the shared diagonal of all three of
// their quadrangles (6 triangles each) and the other four belong to one
// triangle per face (3 each): every corner's normal then lies on a diagonal.
inline LwoObject cubeObject() {
  LwoObject cube;
  for (int i = 0; i < 8; ++i) {
    cube.points.push_back({i & 1 ? 1.0f : -1.0f, i & 2 ? 1.0f : -1.0f, i & 4 ? 1.0f : -1.0f});
  }
  // Counter-clockwise seen from outside, each starting at an even corner
  // (points 1, 2, 4 and 7).
  cube.polygons = {
      {7, 5, 1, 3},  // +x
      {2, 0, 4, 6},  // -x
      {7, 3, 2, 6},  // +y
      {1, 5, 4, 0},  // -y
      {7, 6, 4, 5},  // +z
      {1, 0, 2, 3},  // -z
  };
  return cube;
}

inline bool isEvenCorner(const Vector3& p) {
  int negatives = (p.x < 0) + (p.y < 0) + (p.z < 0);
  return negatives % 2 == 0;
}

inline void expectVector(const Vector3& v, float x, float y, float z, float tolerance = 1e-5f) {
  EXPECT_NEAR(v.x, x, tolerance);
  EXPECT_NEAR(v.y, y, tolerance);
  EXPECT_NEAR(v.z, z, tolerance);
}

inline Curve curveFrom(const std::string& text) {
  Curve curve;
  parseCurveData(DataBuffer(text.begin(), text.end()), curve);
  return curve;
}

// Each triangle is listed once, in creation order, by each of its corners.
inline void expectAdjacencyConsistent(const Mesh& mesh) {
  ASSERT_EQ(mesh.vertices.size(), static_cast<size_t>(mesh.vertexCount));
  ASSERT_EQ(mesh.triangles.size(), static_cast<size_t>(mesh.triangleCount));
  size_t listed = 0;
  for (const MeshVertex& v : mesh.vertices) {
    for (size_t i = 0; i < v.adjacentTriangles.size(); ++i) {
      int32_t t = v.adjacentTriangles[i];
      ASSERT_GE(t, 0);
      ASSERT_LT(t, mesh.triangleCount);
      if (i > 0) {
        EXPECT_GT(t, v.adjacentTriangles[i - 1]);
      }
      const MeshTriangle& triangle = mesh.triangles[static_cast<size_t>(t)];
      const MeshVertex* c = mesh.vertices.data();
      EXPECT_TRUE(&c[triangle.corners[0]] == &v || &c[triangle.corners[1]] == &v || &c[triangle.corners[2]] == &v);
    }
    listed += v.adjacentTriangles.size();
  }
  EXPECT_EQ(listed, 3 * mesh.triangles.size());
  for (const MeshTriangle& t : mesh.triangles) {
    EXPECT_EQ(t.cornerCount, 3);
    for (int32_t corner : t.corners) {
      ASSERT_GE(corner, 0);
      ASSERT_LT(corner, mesh.vertexCount);
    }
  }
}
