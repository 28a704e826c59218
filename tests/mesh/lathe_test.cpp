#include <gtest/gtest.h>

#include <cmath>

#include "mesh/lathe.h"
#include "tests/mesh/mesh_fixtures.h"

namespace {

// Straight up from (1, 0) to (1, 2); the outer points only shape the ends.
const char* const straightProfile = "0,0,1,-2\n1,0,1,0\n2,0,1,2\n3,0,1,4\n";
const char* const closedStraightProfile = "1\n0,0,1,-2\n1,0,1,0\n2,0,1,2\n3,0,1,4\n";
// The unit circle, closed.
const char* const circle = "1\n1,0,1,0\n2,0,0,1\n3,0,-1,0\n4,0,0,-1\n";
const char* const constantOne = "0,0,0,1\n1,0,1,1\n2,0,2,1\n3,0,3,1\n";
const char* const constantZero = "0,0,0,0\n1,0,1,0\n2,0,2,0\n3,0,3,0\n";

struct LatheFixture {
  Curve outline = curveFrom(circle);
  Curve one = curveFrom(constantOne);
  Curve zero = curveFrom(constantZero);
  LatheParams params;

  LatheFixture(int divisions, int revolutions) {
    params.scaleYCurve = &one;
    params.scaleCenterCurve = &one;
    params.rotateCenterCurve = &zero;
    params.outCurve = &outline;
    params.divisions = divisions;
    params.revolutions = revolutions;
    params.axis = 1;
    params.texGenMode = 3;
  }
};

TEST(Lathe, FourSidedPrism) {
  LatheFixture f(2, 4);
  Curve profile = curveFrom(straightProfile);
  Mesh mesh;
  buildLatheSurface(mesh, profile, f.params);
  ASSERT_EQ(mesh.vertexCount, 8);
  ASSERT_EQ(mesh.triangleCount, 8);
  expectAdjacencyConsistent(mesh);
  for (int q = 0; q < 2; ++q) {
    for (int u = 0; u < 4; ++u) {
      SCOPED_TRACE(testing::Message() << "row " << q << " column " << u);
      const MeshVertex& v = mesh.vertices[static_cast<size_t>(q * 4 + u)];
      EXPECT_NEAR(v.position.y, 2.0f * q, 1e-5f);  // the centre goes out and back in
      EXPECT_NEAR(v.position.x * v.position.x + v.position.z * v.position.z, 1.0f, 1e-5f);
      expectVector(v.basePosition, v.position.x, v.position.y, v.position.z);
      EXPECT_NEAR(v.texCoord.x, u / 4.0f, 1e-6f);
    }
  }
  // Columns follow the outline a quarter turn apart.
  EXPECT_NEAR(mesh.vertices[0].position.x * mesh.vertices[1].position.x +
                  mesh.vertices[0].position.z * mesh.vertices[1].position.z,
              0.0f, 1e-5f);
  // The closing quad of row 0: (3, 0, 7) and (0, 4, 7).
  const int closing[2][3] = {{3, 0, 7}, {0, 4, 7}};
  for (int t = 0; t < 2; ++t) {
    for (int k = 0; k < 3; ++k) EXPECT_EQ(mesh.triangles[6 + t].corners[k], closing[t][k]);
  }
}

TEST(Lathe, ClosedProfileJoinsTheLastRowToTheFirst) {
  LatheFixture f(2, 4);
  Curve profile = curveFrom(closedStraightProfile);
  Mesh mesh;
  buildLatheSurface(mesh, profile, f.params);
  ASSERT_EQ(mesh.vertexCount, 8);
  ASSERT_EQ(mesh.triangleCount, 16);
  expectAdjacencyConsistent(mesh);
  const int band[4][3] = {{4, 5, 0}, {5, 1, 0}, {7, 4, 3}, {4, 0, 3}};
  const int at[4] = {8, 9, 14, 15};
  for (int t = 0; t < 4; ++t) {
    for (int k = 0; k < 3; ++k) EXPECT_EQ(mesh.triangles[at[t]].corners[k], band[t][k]);
  }
}

TEST(Lathe, TextureRows) {
  Curve profile = curveFrom(straightProfile);
  struct Case {
    int mode;
    int divisions;
    float v[4];
  } cases[] = {
      {3, 4, {0, 0.25f, 0.5f, 0.75f}},  // row index over the row count
      {1, 3, {0, 0.5f, 1}},             // relative height
      {4, 3, {0, 0.5f, 1}},             // arc length
      {2, 3, {0, 0, 0}},                // undefined modes give 0
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    LatheFixture f(c.divisions, 4);
    f.params.texGenMode = c.mode;
    Mesh mesh;
    buildLatheSurface(mesh, profile, f.params);
    ASSERT_EQ(mesh.vertexCount, c.divisions * 4);
    for (int q = 0; q < c.divisions; ++q) EXPECT_NEAR(mesh.vertices[static_cast<size_t>(q * 4 + 2)].texCoord.y, c.v[q], 1e-5f);
  }
}

TEST(Lathe, SeamFlagsAndCoordinates) {
  LatheFixture f(3, 4);
  Curve profile = curveFrom(straightProfile);
  Mesh mesh;
  buildLatheSurface(mesh, profile, f.params);
  ASSERT_EQ(mesh.vertexCount, 12);
  const int flags[3][4] = {{7, 2, 2, 7}, {1, 0, 0, 1}, {7, 2, 2, 7}};
  for (int q = 0; q < 3; ++q) {
    for (int u = 0; u < 4; ++u) EXPECT_EQ(mesh.vertices[static_cast<size_t>(q * 4 + u)].seamFlags, flags[q][u]) << q << " " << u;
  }
  const float third = 1.0f / 3.0f;
  const MeshVertex& first = mesh.vertices[0];
  expectVector(first.seamTexCoordCorner, 1, 1, 0);
  expectVector(first.seamTexCoordU, 1, 0, 0);
  expectVector(first.seamTexCoordV, 0, 1, 0);
  const MeshVertex& rowStart = mesh.vertices[4];
  expectVector(rowStart.seamTexCoordU, 1, third, 0);
  const MeshVertex& topLast = mesh.vertices[11];
  expectVector(topLast.seamTexCoordU, 0.75f, 2 * third, 0);
  expectVector(topLast.seamTexCoordV, 0.75f, 2 * third, 0);
  expectVector(topLast.seamTexCoordCorner, 0.75f, 2 * third, 0);
  expectVector(mesh.vertices[8].seamTexCoordCorner, 1, 2 * third, 0);
  expectVector(mesh.vertices[3].seamTexCoordCorner, 0.75f, 1, 0);
}

TEST(Lathe, Bitangents) {
  Curve profile = curveFrom(straightProfile);
  struct Case {
    int axis;
    Vector3 column1;  // (0, 0, -1) turned a quarter about the axis
  } cases[] = {{0, {0, -1, 0}}, {1, {-1, 0, 0}}, {2, {0, 0, -1}}, {5, {0, 0, 0}}, {-1, {0, 0, 0}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.axis);
    LatheFixture f(2, 4);
    f.params.axis = c.axis;
    Mesh mesh;
    buildLatheSurface(mesh, profile, f.params);
    ASSERT_EQ(mesh.vertexCount, 8);
    expectVector(mesh.vertices[5].bitangent, c.column1.x, c.column1.y, c.column1.z);
    const bool defined = c.axis >= 0 && c.axis <= 2;
    expectVector(mesh.vertices[0].bitangent, 0, 0, defined ? -1.0f : 0.0f);
  }
}

TEST(Lathe, ProfileCurvesAroundTheRevolution) {
  // The profile centre is the sample sum over m = 1, (2, 2): scaling by 0.5
  // about it moves row 0 from (1, 0) to (1.5, 1) and row 1 from (1, 2) to
  // (1.5, 2); a height scale of 3 then stretches y.
  Curve profile = curveFrom(straightProfile);
  Curve half = curveFrom("0,0,0,0.5\n1,0,1,0.5\n2,0,2,0.5\n3,0,3,0.5\n");
  Curve three = curveFrom("0,0,0,3\n1,0,1,3\n2,0,2,3\n3,0,3,3\n");
  LatheFixture f(2, 4);
  f.params.scaleCenterCurve = &half;
  f.params.scaleYCurve = &three;
  Mesh mesh;
  buildLatheSurface(mesh, profile, f.params);
  ASSERT_EQ(mesh.vertexCount, 8);
  const float heights[2] = {3.0f, 6.0f};
  for (int q = 0; q < 2; ++q) {
    const MeshVertex& v = mesh.vertices[static_cast<size_t>(q * 4 + 1)];
    EXPECT_NEAR(v.position.y, heights[q], 1e-5f);
    EXPECT_NEAR(std::hypot(v.position.x, v.position.z), 1.5f, 1e-5f);
  }

  // Half a turn about (2, 2): row 0 goes to (3, 4) and row 1 to (3, 2).
  LatheFixture g(2, 4);
  g.params.rotateCenterCurve = &half;
  buildLatheSurface(mesh, profile, g.params);
  ASSERT_EQ(mesh.vertexCount, 8);
  const float turnedHeights[2] = {4.0f, 2.0f};
  for (int q = 0; q < 2; ++q) {
    const MeshVertex& v = mesh.vertices[static_cast<size_t>(q * 4 + 1)];
    EXPECT_NEAR(v.position.y, turnedHeights[q], 1e-5f);
    EXPECT_NEAR(std::hypot(v.position.x, v.position.z), 3.0f, 1e-5f);
  }
}

TEST(Lathe, PathCarriesTheRows) {
  // A straight path along x; sampled at q / (m + 1) it gives (0, 0, 0) and (2, 0, 0).
  Curve profile = curveFrom(straightProfile);
  Curve path = curveFrom("0,0,-4,0\n1,0,0,0\n2,0,4,0\n3,0,8,0\n");
  LatheFixture f(2, 4);
  f.params.move = 1;
  f.params.moveCurve = &path;
  Mesh mesh;
  buildLatheSurface(mesh, profile, f.params);
  ASSERT_EQ(mesh.vertexCount, 8);
  for (int q = 0; q < 2; ++q) {
    for (int u = 0; u < 4; ++u) {
      SCOPED_TRACE(testing::Message() << "row " << q << " column " << u);
      const MeshVertex& v = mesh.vertices[static_cast<size_t>(q * 4 + u)];
      // Each section stands across the path, in the YZ plane at the row's place.
      EXPECT_NEAR(v.position.x, 2.0f * q, 1e-5f);
      EXPECT_NEAR(std::hypot(v.position.y, v.position.z), 1.0f, 1e-5f);
      // v is scaled by the path length, 2.
      EXPECT_NEAR(v.texCoord.y, q * 0.5f * 2.0f, 1e-5f);
    }
  }
  expectVector(mesh.vertices[4].seamTexCoordU, 1, 1, 0);
  expectVector(mesh.vertices[0].seamTexCoordV, 0, 2, 0);
}

TEST(Lathe, UnusableInputsGiveAnEmptyMesh) {
  Curve profile = curveFrom(straightProfile);
  Curve flat = curveFrom("0,0,1,1\n1,0,2,1\n2,0,3,1\n3,0,4,1\n");
  Curve empty;
  struct Case {
    const char* name;
    const Curve* profile;
    int divisions;
    int revolutions;
  } cases[] = {
      {"no height range", &flat, 4, 4},
      {"profile without points", &empty, 4, 4},
      {"one revolution", &profile, 4, 1},
      {"no revolutions", &profile, 4, 0},
      {"one division", &profile, 1, 4},
      {"too many divisions", &profile, maxLatheDivisions + 1, 4},
      {"too many triangles", &profile, 5000, 1 << 20},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LatheFixture f(c.divisions, c.revolutions);
    Mesh mesh;
    buildBoxTube(mesh, 1, 1, 1, 1, 1, {1, 1, 1});  // replaced, not kept
    buildLatheSurface(mesh, *c.profile, f.params);
    EXPECT_EQ(mesh.vertexCount, 0);
    EXPECT_EQ(mesh.triangleCount, 0);
    EXPECT_TRUE(mesh.vertices.empty());
  }
  // The limit itself is allowed.
  LatheFixture f(maxLatheDivisions, 2);
  Mesh mesh;
  buildLatheSurface(mesh, profile, f.params);
  EXPECT_EQ(mesh.vertexCount, 2 * maxLatheDivisions);
  for (const MeshVertex& v : mesh.vertices) ASSERT_TRUE(std::isfinite(v.position.y));
}

}  // namespace
