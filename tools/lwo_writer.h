// Writes LightWave LWO2 objects the engine's mesh loader reads: one layer,
// the points, FACE polygons and the bounding box. Test fixtures and the
// asset generator build their meshes with it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "render/math.h"
#include "runtime/datapack.h"

struct LwoObject {
  std::vector<Vector3> points;
  std::vector<std::vector<uint32_t>> polygons;  // point indices of each polygon, in winding order
};

// The engine reads point indices as 2 bytes, so an object may hold at most
// this many points.
constexpr size_t maxLwoPoints = 0xff00;

// The whole file: "FORM", size, "LWO2", then "LAYR", "PNTS", "BBOX" (the
// points' box) and one "POLS" chunk of type "FACE". False with a message when
// the object has too many points, a polygon of more than 1023 corners or an
// index past its points.
bool encodeLwo(const LwoObject& object, DataBuffer& out, std::string* error);
bool writeLwoFile(const std::string& path, const LwoObject& object, std::string* error);

// Pieces for building unusual files. They write what they are given, cut to
// the fields' widths, without checks.
// Appends id, the big-endian size, data and a pad byte when the size is odd.
void appendLwoChunk(DataBuffer& out, const char* id, const DataBuffer& data);
DataBuffer lwoPointsData(const std::vector<Vector3>& points);
// "POLS" data: the 4-byte type, then per polygon its corner count and 2-byte indices.
DataBuffer lwoPolygonsData(const char* type, const std::vector<std::vector<uint32_t>>& polygons);
DataBuffer lwoBoxData(const Vector3& boxMin, const Vector3& boxMax);
// "FORM", the size of what follows, "LWO2" and the chunks.
DataBuffer lwoForm(const DataBuffer& chunks);
