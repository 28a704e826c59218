#include <gtest/gtest.h>

#include <cmath>

#include "mesh/mesh.h"
#include "tests/mesh/mesh_fixtures.h"
#include "tests/support/temp_dir.h"
#include "tools/lwo_writer.h"

namespace {

const Vector3 axisX{1.0f, 0.0f, 0.0f};
const Vector3 axisY{0.0f, 1.0f, 0.0f};
const Vector3 noOffset{};

DataBuffer encoded(const LwoObject& object) {
  DataBuffer data;
  std::string error;
  EXPECT_TRUE(encodeLwo(object, data, &error)) << error;
  return data;
}

// A file of the given chunks, after the points of a unit right triangle.
DataBuffer triangleFileWith(const DataBuffer& extraChunks, const char* polygonType = "FACE") {
  DataBuffer chunks;
  appendLwoChunk(chunks, "PNTS", lwoPointsData({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}));
  chunks.insert(chunks.end(), extraChunks.begin(), extraChunks.end());
  appendLwoChunk(chunks, "POLS", lwoPolygonsData(polygonType, {{0, 1, 2}}));
  return lwoForm(chunks);
}

Mesh loaded(const DataBuffer& data, bool* read = nullptr) {
  Mesh mesh;
  bool ok = loadLwoMeshData(data, mesh, axisX, axisY, noOffset, 0);
  if (read) *read = ok;
  return mesh;
}

TEST(LwoMesh, CubeOfSixQuadrangles) {
  ScopedTempDir dir;
  std::string error;
  ASSERT_TRUE(writeLwoFile("cube.lwo", cubeObject(), &error)) << error;
  Mesh mesh;
  ASSERT_TRUE(loadLwoMesh("cube.lwo", mesh));
  ASSERT_EQ(mesh.vertexCount, 8);
  ASSERT_EQ(mesh.triangleCount, 12);
  expectAdjacencyConsistent(mesh);

  // Quadrangle (i0, i1, i2, i3) gives (i0, i1, i2) then (i0, i2, i3).
  EXPECT_EQ(mesh.triangles[0].corners[0], 7);
  EXPECT_EQ(mesh.triangles[0].corners[1], 5);
  EXPECT_EQ(mesh.triangles[0].corners[2], 1);
  EXPECT_EQ(mesh.triangles[1].corners[0], 7);
  EXPECT_EQ(mesh.triangles[1].corners[1], 1);
  EXPECT_EQ(mesh.triangles[1].corners[2], 3);

  const float d = 1.0f / std::sqrt(3.0f);
  for (const MeshVertex& v : mesh.vertices) {
    SCOPED_TRACE(testing::Message() << v.position.x << " " << v.position.y << " " << v.position.z);
    // The quadrangles' shared diagonals run through the even corners.
    EXPECT_EQ(v.adjacentTriangles.size(), isEvenCorner(v.position) ? 6u : 3u);
    expectVector(v.normal, v.position.x * d, v.position.y * d, v.position.z * d);
    expectVector(v.bitangent, 1, 0, 0);
    EXPECT_EQ(v.seamFlags, 0);
  }
  // Face normals are unit and point out of the cube.
  expectVector(mesh.triangles[0].faceNormal, 1, 0, 0);
  expectVector(mesh.triangles[11].faceNormal, 0, 0, -1);
}

TEST(LwoMesh, NormalsAreAreaWeightedAndInvertible) {
  // A big and a small triangle sharing vertex 0, at right angles.
  LwoObject object;
  object.points = {{0, 0, 0}, {4, 0, 0}, {0, 4, 0}, {0, 0, 1}, {0, 1, 0}};
  object.polygons = {{0, 1, 2}, {0, 3, 4}};  // normals (0, 0, 16) and (-1, 0, 0)
  DataBuffer data = encoded(object);
  Mesh mesh = loaded(data);
  float length = std::sqrt(16.0f * 16.0f + 1.0f);
  expectVector(mesh.vertices[0].normal, -1.0f / length, 0, 16.0f / length);
  expectVector(mesh.triangles[1].faceNormal, -1, 0, 0);

  Mesh inverted;
  ASSERT_TRUE(loadLwoMeshData(data, inverted, axisX, axisY, noOffset, 1));
  expectVector(inverted.vertices[0].normal, 1.0f / length, 0, -16.0f / length);
  expectVector(inverted.triangles[1].faceNormal, -1, 0, 0);  // only vertex normals flip
}

TEST(LwoMesh, PlanarTextureCoordinates) {
  DataBuffer data = encoded(cubeObject());
  Mesh mesh = loaded(data);
  // Box (-1, -1, -1) to (1, 1, 1): each side is divided by 2 + 1.
  expectVector(mesh.vertices[7].texCoord, 2.0f / 3.0f, 2.0f / 3.0f, 0);
  expectVector(mesh.vertices[0].texCoord, 0, 0, 0);
  expectVector(mesh.vertices[1].texCoord, 2.0f / 3.0f, 0, 0);

  // Other axes and an offset; z of the offset is not used.
  Mesh custom;
  ASSERT_TRUE(loadLwoMeshData(data, custom, {0, 1, 0}, {0.5f, 0, 0.25f}, {0.5f, 0.25f, 9.0f}, 0));
  // Vertex 7: p = (2/3, 2/3, 2).
  expectVector(custom.vertices[7].texCoord, 2.0f / 3.0f + 0.5f, 1.0f / 3.0f + 0.5f + 0.25f, 0);
}

TEST(LwoMesh, MissingBoxIsTheBoxOfThePoints) {
  LwoObject object;
  object.points = {{-2, 1, 0}, {2, 1, 0}, {0, 5, 0}, {0, 3, 4}};
  object.polygons = {{0, 1, 2}, {0, 1, 3}};
  DataBuffer chunks;
  appendLwoChunk(chunks, "PNTS", lwoPointsData(object.points));
  appendLwoChunk(chunks, "POLS", lwoPolygonsData("FACE", object.polygons));
  Mesh withoutBox = loaded(lwoForm(chunks));
  Mesh withBox = loaded(encoded(object));
  ASSERT_EQ(withoutBox.vertexCount, 4);
  for (int i = 0; i < 4; ++i) {
    expectVector(withoutBox.vertices[i].texCoord, withBox.vertices[i].texCoord.x, withBox.vertices[i].texCoord.y, 0);
  }
  // Box (-2, 1, 0) to (2, 5, 4): h = 2, so u = (x + 2) / 6.
  expectVector(withoutBox.vertices[1].texCoord, 4.0f / 6.0f, 0, 0);

  Vector3 boxMin, boxMax;
  Mesh read;
  ASSERT_TRUE(readLwoData(lwoForm(chunks), read, boxMin, boxMax));
  expectVector(boxMin, -2, 1, 0);
  expectVector(boxMax, 2, 5, 4);
}

TEST(LwoMesh, ChunkLayouts) {
  DataBuffer odd;  // "Default" is 7 bytes: one pad byte follows
  appendLwoChunk(odd, "TAGS", DataBuffer{'D', 'e', 'f', 'a', 'u', 'l', 't'});
  DataBuffer bones;
  appendLwoChunk(bones, "POLS", lwoPolygonsData("BONE", {{0, 1}, {1, 2}, {0, 1, 2}}));
  DataBuffer vmap;
  appendLwoChunk(vmap, "VMAP", DataBuffer(13, 0x41));

  struct Case {
    const char* name;
    DataBuffer data;
    int32_t triangles;
  } cases[] = {
      {"odd-sized chunk before the polygons", triangleFileWith(odd), 1},
      {"BONE polygons are skipped", triangleFileWith(bones), 1},
      {"BONE-typed chunk alone", triangleFileWith({}, "BONE"), 0},
      {"patches are read like faces", triangleFileWith({}, "PTCH"), 1},
      {"unknown odd chunk skipped", triangleFileWith(vmap), 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bool read = false;
    Mesh mesh = loaded(c.data, &read);
    EXPECT_TRUE(read);
    EXPECT_EQ(mesh.vertexCount, 3);
    EXPECT_EQ(mesh.triangleCount, c.triangles);
    expectAdjacencyConsistent(mesh);
  }
}

TEST(LwoMesh, PolygonsThatAreDropped) {
  DataBuffer chunks;
  appendLwoChunk(chunks, "PNTS", lwoPointsData({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 2, 0}}));
  appendLwoChunk(chunks, "POLS",
                 lwoPolygonsData("FACE", {
                                             {0, 1},              // a line
                                             {0, 1, 2, 3, 4},     // five corners
                                             {0, 1, 5},           // point 5 is past the points
                                             {0, 1, 2, 0xfffe},   // so is 65534
                                             {1, 3, 2},           // kept
                                             {4},                 // a single point
                                         }));
  // Polygon flags in the upper six bits of the count are ignored.
  DataBuffer flagged = lwoPolygonsData("FACE", {{0, 1, 2}});
  flagged[4] |= 0xfc;
  appendLwoChunk(chunks, "POLS", flagged);
  Mesh mesh = loaded(lwoForm(chunks));
  ASSERT_EQ(mesh.triangleCount, 2);
  EXPECT_EQ(mesh.triangles[0].corners[0], 1);
  EXPECT_EQ(mesh.triangles[1].corners[0], 0);
  expectAdjacencyConsistent(mesh);
  // Vertex 4 is in no triangle: its normal stays zero.
  expectVector(mesh.vertices[4].normal, 0, 0, 0);
}

TEST(LwoMesh, IndicesCountOverEveryPointsChunk) {
  DataBuffer chunks;
  appendLwoChunk(chunks, "PNTS", lwoPointsData({{0, 0, 0}, {1, 0, 0}}));
  appendLwoChunk(chunks, "POLS", lwoPolygonsData("FACE", {{0, 1, 2}}));  // point 2 comes later
  appendLwoChunk(chunks, "PNTS", lwoPointsData({{0, 1, 0}}));
  Mesh mesh = loaded(lwoForm(chunks));
  ASSERT_EQ(mesh.vertexCount, 3);
  ASSERT_EQ(mesh.triangleCount, 1);
  expectVector(mesh.vertices[2].position, 0, 1, 0);
  expectVector(mesh.triangles[0].faceNormal, 0, 0, 1);
}

TEST(LwoMesh, DamagedAndForeignFiles) {
  DataBuffer good = triangleFileWith({});
  DataBuffer truncated = good;
  truncated.resize(truncated.size() - 3);  // the POLS chunk now runs past the end
  DataBuffer oversized;
  appendLwoChunk(oversized, "PNTS", lwoPointsData({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}));
  appendLwoChunk(oversized, "POLS", lwoPolygonsData("FACE", {{0, 1, 2}}));
  oversized = lwoForm(oversized);
  oversized[oversized.size() - 16] = 0x7f;  // POLS size 0x7f00000c
  DataBuffer noForm(good.begin() + 4, good.end());  // "size LWO2 ..." without "FORM"
  DataBuffer lwob = good;
  lwob[11] = 'B';

  struct Case {
    const char* name;
    DataBuffer data;
    bool read;
    int32_t vertices;
    int32_t triangles;
  } cases[] = {
      {"whole", good, true, 3, 1},
      {"chunk past the end stops the scan", truncated, true, 3, 0},
      {"huge chunk size", oversized, true, 3, 0},
      {"identifier at offset 4", noForm, true, 3, 1},
      {"not LWO2", lwob, false, 0, 0},
      {"empty", DataBuffer{}, false, 0, 0},
      {"header only", DataBuffer{'F', 'O', 'R', 'M', 0, 0, 0, 4, 'L', 'W', 'O', '2'}, true, 0, 0},
      {"cut inside the header", DataBuffer{'F', 'O', 'R', 'M', 0, 0}, false, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bool read = false;
    Mesh mesh = loaded(c.data, &read);
    EXPECT_EQ(read, c.read);
    EXPECT_EQ(mesh.vertexCount, c.vertices);
    EXPECT_EQ(mesh.triangleCount, c.triangles);
    expectAdjacencyConsistent(mesh);
  }

  // A 13-byte points chunk holds one point; the stray byte is not a point,
  // and the chunk's pad byte keeps the scan in step.
  DataBuffer chunks;
  appendLwoChunk(chunks, "PNTS", DataBuffer(13, 0));
  appendLwoChunk(chunks, "PNTS", lwoPointsData({{1, 2, 3}}));
  Mesh mesh = loaded(lwoForm(chunks));
  ASSERT_EQ(mesh.vertexCount, 2);
  expectVector(mesh.vertices[1].position, 1, 2, 3);
}

TEST(LwoMesh, MissingFileAndReloading) {
  ScopedTempDir dir;
  std::string error;
  ASSERT_TRUE(writeLwoFile("cube.lwo", cubeObject(), &error)) << error;
  Mesh mesh;
  ASSERT_TRUE(loadLwoMesh("cube.lwo", mesh));
  // Loading again into a used mesh replaces it instead of adding to it.
  ASSERT_TRUE(loadLwoMesh("cube.lwo", mesh));
  EXPECT_EQ(mesh.vertexCount, 8);
  expectAdjacencyConsistent(mesh);
  EXPECT_FALSE(loadLwoMesh("missing.lwo", mesh));
  EXPECT_EQ(mesh.vertexCount, 0);
  EXPECT_EQ(mesh.triangleCount, 0);
  EXPECT_TRUE(mesh.vertices.empty());
}

TEST(LwoMesh, FlatObjectGetsFiniteTextureCoordinates) {
  // Flat in x and z: d.x + h is 0.
  LwoObject object;
  object.points = {{0, 0, 0}, {0, 1, 0}, {0, 2, 0}};
  object.polygons = {{0, 1, 2}};
  Mesh mesh = loaded(encoded(object));
  for (const MeshVertex& v : mesh.vertices) {
    EXPECT_EQ(v.texCoord.x, 0.0f);
    EXPECT_TRUE(std::isfinite(v.texCoord.y));
  }
  expectVector(mesh.vertices[2].texCoord, 0, 1, 0);
}

}  // namespace
