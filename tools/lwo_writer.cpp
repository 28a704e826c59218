#include "tools/lwo_writer.h"

#include <cstdio>
#include <cstring>

namespace {

void appendU16(DataBuffer& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value >> 8));
  out.push_back(static_cast<uint8_t>(value));
}

void appendU32(DataBuffer& out, uint32_t value) {
  appendU16(out, value >> 16);
  appendU16(out, value & 0xffffu);
}

void appendF32(DataBuffer& out, float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  appendU32(out, bits);
}

void appendVector(DataBuffer& out, const Vector3& v) {
  appendF32(out, v.x);
  appendF32(out, v.y);
  appendF32(out, v.z);
}

void appendId(DataBuffer& out, const char* id) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(id[i]));
}

void boxOf(const std::vector<Vector3>& points, Vector3& boxMin, Vector3& boxMax) {
  boxMin = points.empty() ? Vector3{} : points[0];
  boxMax = boxMin;
  for (const Vector3& p : points) {
    if (p.x < boxMin.x) boxMin.x = p.x;
    if (p.y < boxMin.y) boxMin.y = p.y;
    if (p.z < boxMin.z) boxMin.z = p.z;
    if (p.x > boxMax.x) boxMax.x = p.x;
    if (p.y > boxMax.y) boxMax.y = p.y;
    if (p.z > boxMax.z) boxMax.z = p.z;
  }
}

bool fail(std::string* error, const std::string& text) {
  if (error) *error = text;
  return false;
}

}  // namespace

void appendLwoChunk(DataBuffer& out, const char* id, const DataBuffer& data) {
  appendId(out, id);
  appendU32(out, static_cast<uint32_t>(data.size()));
  out.insert(out.end(), data.begin(), data.end());
  if (data.size() % 2) out.push_back(0);
}

DataBuffer lwoPointsData(const std::vector<Vector3>& points) {
  DataBuffer data;
  data.reserve(points.size() * 12);
  for (const Vector3& p : points) appendVector(data, p);
  return data;
}

DataBuffer lwoPolygonsData(const char* type, const std::vector<std::vector<uint32_t>>& polygons) {
  DataBuffer data;
  appendId(data, type);
  for (const std::vector<uint32_t>& polygon : polygons) {
    appendU16(data, static_cast<uint32_t>(polygon.size()) & 0x3ffu);
    for (uint32_t index : polygon) appendU16(data, index & 0xffffu);
  }
  return data;
}

DataBuffer lwoBoxData(const Vector3& boxMin, const Vector3& boxMax) {
  DataBuffer data;
  appendVector(data, boxMin);
  appendVector(data, boxMax);
  return data;
}

DataBuffer lwoForm(const DataBuffer& chunks) {
  DataBuffer out;
  out.reserve(12 + chunks.size());
  appendId(out, "FORM");
  appendU32(out, static_cast<uint32_t>(chunks.size() + 4));
  appendId(out, "LWO2");
  out.insert(out.end(), chunks.begin(), chunks.end());
  return out;
}

bool encodeLwo(const LwoObject& object, DataBuffer& out, std::string* error) {
  out.clear();
  if (object.points.size() > maxLwoPoints) {
    return fail(error, std::to_string(object.points.size()) + " points; at most " + std::to_string(maxLwoPoints) +
                           " fit 2-byte indices");
  }
  for (size_t i = 0; i < object.polygons.size(); ++i) {
    const std::vector<uint32_t>& polygon = object.polygons[i];
    if (polygon.size() > 0x3ff) return fail(error, "polygon " + std::to_string(i) + " has more than 1023 corners");
    for (uint32_t index : polygon) {
      if (index >= object.points.size()) {
        return fail(error, "polygon " + std::to_string(i) + " names point " + std::to_string(index) + " of " +
                               std::to_string(object.points.size()));
      }
    }
  }

  // Layer 0: number, flags, pivot (0, 0, 0) and an empty name padded to two bytes.
  DataBuffer layer;
  appendU16(layer, 0);
  appendU16(layer, 0);
  appendVector(layer, Vector3{});
  appendU16(layer, 0);

  Vector3 boxMin, boxMax;
  boxOf(object.points, boxMin, boxMax);
  DataBuffer chunks;
  appendLwoChunk(chunks, "LAYR", layer);
  appendLwoChunk(chunks, "PNTS", lwoPointsData(object.points));
  appendLwoChunk(chunks, "BBOX", lwoBoxData(boxMin, boxMax));
  appendLwoChunk(chunks, "POLS", lwoPolygonsData("FACE", object.polygons));
  out = lwoForm(chunks);
  return true;
}

bool writeLwoFile(const std::string& path, const LwoObject& object, std::string* error) {
  DataBuffer data;
  if (!encodeLwo(object, data, error)) return false;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return fail(error, "cannot create " + path);
  bool written = std::fwrite(data.data(), 1, data.size(), file) == data.size();
  if (std::fclose(file) != 0) written = false;
  if (!written) return fail(error, "cannot write " + path);
  return true;
}
