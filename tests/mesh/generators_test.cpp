#include <gtest/gtest.h>

#include <algorithm>

#include "mesh/mesh.h"
#include "tests/mesh/mesh_fixtures.h"

namespace {

TEST(BoxTube, SmallestTube) {
  Mesh mesh;
  buildBoxTube(mesh, 1, 1.0f, 1.0f, 1, 1, {2, 3, 4});
  ASSERT_EQ(mesh.vertexCount, 8);     // c = 4 points per ring, 2 rings
  ASSERT_EQ(mesh.triangleCount, 6);   // three of the four sides
  expectAdjacencyConsistent(mesh);
  expectVector(mesh.vertices[0].position, -1.0f, -1.5f, -2.0f);  // (-0.5, -0.5, -0.5) times scale
  // The section: (-0.5, -0.5), (0.5, -0.5), (0.5, 0.5), (-0.5, 0.5) in (y, z).
  const float section[4][2] = {{-0.5f, -0.5f}, {0.5f, -0.5f}, {0.5f, 0.5f}, {-0.5f, 0.5f}};
  for (int r = 0; r < 2; ++r) {
    for (int k = 0; k < 4; ++k) {
      SCOPED_TRACE(testing::Message() << "ring " << r << " point " << k);
      const MeshVertex& v = mesh.vertices[static_cast<size_t>(r * 4 + k)];
      expectVector(v.position, (r - 0.5f) * 2, section[k][0] * 3, section[k][1] * 4);
      expectVector(v.basePosition, v.position.x, v.position.y, v.position.z);
      expectVector(v.bitangent, 1, 0, 0);
      expectVector(v.texCoord, static_cast<float>(r), k / 4.0f, 0);
    }
  }
}

TEST(BoxTube, RingsTrianglesAndTextureRepeats) {
  Mesh mesh;
  const int segments = 3;
  buildBoxTube(mesh, segments, 4.0f, 2.0f, 4, 4, {32, 1, 2});
  const int c = 16;
  ASSERT_EQ(mesh.vertexCount, (segments + 1) * c);
  ASSERT_EQ(mesh.triangleCount, 2 * segments * (c - 1));
  expectAdjacencyConsistent(mesh);

  Vector3 low{1e9f, 1e9f, 1e9f}, high{-1e9f, -1e9f, -1e9f};
  for (const MeshVertex& v : mesh.vertices) {
    low = {std::min(low.x, v.position.x), std::min(low.y, v.position.y), std::min(low.z, v.position.z)};
    high = {std::max(high.x, v.position.x), std::max(high.y, v.position.y), std::max(high.z, v.position.z)};
  }
  expectVector(low, -16, -0.5f, -1);
  expectVector(high, 16, 0.5f, 1);

  for (int r = 0; r < segments; ++r) {
    SCOPED_TRACE(testing::Message() << "ring " << r);
    const MeshTriangle& first = mesh.triangles[static_cast<size_t>(r * 2 * (c - 1))];
    EXPECT_EQ(first.corners[0], r * c);
    EXPECT_EQ(first.corners[1], r * c + 1);
    EXPECT_EQ(first.corners[2], (r + 1) * c);
    const MeshTriangle& last = mesh.triangles[static_cast<size_t>((r + 1) * 2 * (c - 1) - 1)];
    EXPECT_EQ(last.corners[0], r * c + c - 1);
    EXPECT_EQ(last.corners[1], (r + 1) * c + c - 1);
    EXPECT_EQ(last.corners[2], (r + 1) * c + c - 2);
  }
  // Ring 2 point 5: u = 2/3 of 4, v = 5/16 of 2; point 5 is (0.5, -0.25) of the section.
  const MeshVertex& v = mesh.vertices[2 * c + 5];
  expectVector(v.texCoord, 8.0f / 3.0f, 10.0f / 16.0f, 0);
  expectVector(v.position, (2.0f / 3.0f - 0.5f) * 32, 0.5f, -0.25f * 2);
}

TEST(BoxTube, ZeroSideCountLeavesTheOtherSides) {
  // No steps along y: the section is the two z sides only, c = 2 x (0 + 2).
  Mesh mesh;
  buildBoxTube(mesh, 1, 1.0f, 1.0f, 0, 2, {1, 1, 1});
  ASSERT_EQ(mesh.vertexCount, 8);
  ASSERT_EQ(mesh.triangleCount, 6);
  expectAdjacencyConsistent(mesh);
  const float section[4][2] = {{0.5f, -0.5f}, {0.5f, 0.0f}, {-0.5f, 0.5f}, {-0.5f, 0.0f}};
  for (int k = 0; k < 4; ++k) {
    SCOPED_TRACE(k);
    expectVector(mesh.vertices[static_cast<size_t>(k)].position, -0.5f, section[k][0], section[k][1]);
    expectVector(mesh.vertices[static_cast<size_t>(k)].texCoord, 0, k / 4.0f, 0);
  }
}

TEST(BoxTube, UnusableCountsGiveAnEmptyMesh) {
  const int counts[][3] = {{0, 4, 4}, {-1, 4, 4}, {4, 0, 0}, {4, -1, 4}, {4, 4, -2}, {2000000000, 4, 4}};
  for (const auto& c : counts) {
    Mesh mesh;
    buildBoxTube(mesh, 2, 1, 1, 1, 1, {1, 1, 1});
    buildBoxTube(mesh, c[0], 1, 1, c[1], c[2], {1, 1, 1});
    EXPECT_EQ(mesh.vertexCount, 0);
    EXPECT_EQ(mesh.triangleCount, 0);
    EXPECT_TRUE(mesh.vertices.empty());
  }
}

TEST(RecomputeNormals, SignRule) {
  struct Case {
    int invert;
    float face;
    float vertex;
  } cases[] = {{0, 1, -1}, {1, -1, 1}, {7, -1, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.invert);
    Mesh mesh;
    allocateMesh(mesh, 3, 1);
    mesh.vertices[1].position = {1, 0, 0};
    mesh.vertices[2].position = {0, 1, 0};
    mesh.triangles[0].corners[1] = 1;
    mesh.triangles[0].corners[2] = 2;
    linkAdjacency(mesh);
    recomputeNormals(mesh, c.invert);
    expectVector(mesh.triangles[0].faceNormal, 0, 0, c.face);
    for (const MeshVertex& v : mesh.vertices) expectVector(v.normal, 0, 0, c.vertex);
  }
}

TEST(RecomputeNormals, FacesCountEquallyAndLonelyVerticesStayZero) {
  // A big and a small triangle at right angles sharing vertex 0, and vertex 5
  // in no triangle. Unlike the loader's, these normals are not area-weighted.
  Mesh mesh;
  allocateMesh(mesh, 6, 2);
  const Vector3 points[] = {{0, 0, 0}, {4, 0, 0}, {0, 4, 0}, {0, 0, 1}, {0, 1, 0}, {5, 5, 5}};
  for (int i = 0; i < 6; ++i) mesh.vertices[i].position = points[i];
  const int corners[2][3] = {{0, 1, 2}, {0, 3, 4}};
  for (int t = 0; t < 2; ++t) {
    for (int k = 0; k < 3; ++k) mesh.triangles[t].corners[k] = corners[t][k];
  }
  linkAdjacency(mesh);
  recomputeNormals(mesh, 0);
  const float d = 1.0f / std::sqrt(2.0f);
  expectVector(mesh.vertices[0].normal, d, 0, -d);
  expectVector(mesh.vertices[5].normal, 0, 0, 0);

  // Moved positions are picked up on the next call.
  mesh.vertices[2].position = {0, 0, 4};
  recomputeNormals(mesh, 0);
  expectVector(mesh.triangles[0].faceNormal, 0, -1, 0);
}

}  // namespace
