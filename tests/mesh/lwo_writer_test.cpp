#include <gtest/gtest.h>

#include <string>

#include "mesh/mesh.h"
#include "tests/mesh/mesh_fixtures.h"
#include "tools/lwo_writer.h"

namespace {

std::string text(const DataBuffer& data, size_t at, size_t size) {
  return std::string(data.begin() + static_cast<long>(at), data.begin() + static_cast<long>(at + size));
}

uint32_t u32(const DataBuffer& data, size_t at) {
  return static_cast<uint32_t>(data[at]) << 24 | static_cast<uint32_t>(data[at + 1]) << 16 |
         static_cast<uint32_t>(data[at + 2]) << 8 | data[at + 3];
}

TEST(LwoWriter, FileLayout) {
  DataBuffer data;
  std::string error;
  ASSERT_TRUE(encodeLwo(cubeObject(), data, &error)) << error;
  EXPECT_EQ(text(data, 0, 4), "FORM");
  EXPECT_EQ(u32(data, 4), data.size() - 8);
  EXPECT_EQ(text(data, 8, 4), "LWO2");
  // Chunks in order, each with an even padded size.
  const char* ids[] = {"LAYR", "PNTS", "BBOX", "POLS"};
  const uint32_t sizes[] = {18, 8 * 12, 24, 4 + 6 * 10};
  size_t at = 12;
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(ids[i]);
    ASSERT_LE(at + 8, data.size());
    EXPECT_EQ(text(data, at, 4), ids[i]);
    EXPECT_EQ(u32(data, at + 4), sizes[i]);
    at += 8 + sizes[i];
  }
  EXPECT_EQ(at, data.size());
  // Big-endian floats: point 0 starts with -1.0f = 0xbf800000.
  EXPECT_EQ(u32(data, 12 + 8 + 18 + 8), 0xbf800000u);

  Vector3 boxMin, boxMax;
  Mesh mesh;
  ASSERT_TRUE(readLwoData(data, mesh, boxMin, boxMax));
  expectVector(boxMin, -1, -1, -1);
  expectVector(boxMax, 1, 1, 1);
}

TEST(LwoWriter, OddChunksArePadded) {
  DataBuffer chunks;
  appendLwoChunk(chunks, "TAGS", DataBuffer(7, 'x'));
  ASSERT_EQ(chunks.size(), 8u + 8u);
  EXPECT_EQ(u32(chunks, 4), 7u);
  EXPECT_EQ(chunks.back(), 0);
}

TEST(LwoWriter, RefusesWhatTheLoaderCannotRead) {
  LwoObject badIndex;
  badIndex.points = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  badIndex.polygons = {{0, 1, 3}};
  LwoObject tooManyPoints;
  tooManyPoints.points.resize(maxLwoPoints + 1);
  LwoObject tooManyCorners;
  tooManyCorners.points.resize(3);
  tooManyCorners.polygons = {std::vector<uint32_t>(1024, 0)};
  LwoObject largest;
  largest.points.resize(maxLwoPoints);
  largest.polygons = {{0, 1, static_cast<uint32_t>(maxLwoPoints - 1)}};

  struct Case {
    const char* name;
    const LwoObject* object;
    bool written;
  } cases[] = {
      {"index past the points", &badIndex, false},
      {"more points than 2-byte indices reach", &tooManyPoints, false},
      {"1024 corners", &tooManyCorners, false},
      {"the most points", &largest, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DataBuffer data;
    std::string error;
    EXPECT_EQ(encodeLwo(*c.object, data, &error), c.written);
    EXPECT_EQ(error.empty(), c.written) << error;
  }

  Mesh mesh;
  DataBuffer data;
  ASSERT_TRUE(encodeLwo(largest, data, nullptr));
  Vector3 boxMin, boxMax;
  ASSERT_TRUE(readLwoData(data, mesh, boxMin, boxMax));
  EXPECT_EQ(mesh.vertexCount, static_cast<int32_t>(maxLwoPoints));
  ASSERT_EQ(mesh.triangleCount, 1);
  EXPECT_EQ(mesh.triangles[0].corners[2], static_cast<int32_t>(maxLwoPoints - 1));
}

TEST(LwoWriter, UnwritablePath) {
  std::string error;
  EXPECT_FALSE(writeLwoFile("/nonexistent-dir/cube.lwo", cubeObject(), &error));
  EXPECT_NE(error.find("/nonexistent-dir/cube.lwo"), std::string::npos);
}

}  // namespace
