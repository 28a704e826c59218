// LightWave LWO2 objects: "FORM" size "LWO2", then chunks of a 4-byte id, a
// 4-byte big-endian size and the data, padded to an even size. Only "PNTS",
// "POLS" (types "FACE" and "PTCH") and "BBOX" are read; the file is untrusted,
// so every read is checked against the chunk and the buffer.
#include <cstring>

#include "mesh/mesh.h"

namespace {

uint32_t readU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 |
         static_cast<uint32_t>(p[3]);
}

uint16_t readU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

float readF32(const uint8_t* p) {
  uint32_t bits = readU32(p);
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

Vector3 readVector(const uint8_t* p) { return {readF32(p), readF32(p + 4), readF32(p + 8)}; }

bool idIs(const uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

// Offset of the first chunk, or 0 when the data is no LWO2 object. Without
// "FORM" the identifier is looked for at offset 4.
size_t firstChunk(const DataBuffer& data) {
  size_t at = data.size() >= 4 && idIs(data.data(), "FORM") ? 8 : 4;
  if (data.size() < at + 4 || !idIs(data.data() + at, "LWO2")) return 0;
  return at + 4;
}

// visit(id, chunkData, size) for every chunk in order. A chunk whose size runs
// past the buffer ends the scan; only a last chunk's pad byte may be missing.
template <typename Visit>
void forEachChunk(const DataBuffer& data, size_t at, Visit visit) {
  const size_t end = data.size();
  while (at <= end && end - at >= 8) {
    const uint8_t* header = data.data() + at;
    size_t size = readU32(header + 4);
    size_t begin = at + 8;
    if (size > end - begin) return;
    visit(header, header + 8, size);
    at = begin + size + (size & 1);
  }
}

// visit(indices, cornerCount) for every polygon of a "FACE" or "PTCH" chunk
// that ends inside the chunk. The low 10 bits of the first word count the
// corners; each corner is a 2-byte point index.
template <typename Visit>
void forEachPolygon(const uint8_t* data, size_t size, Visit visit) {
  if (size < 4 || !(idIs(data, "FACE") || idIs(data, "PTCH"))) return;
  size_t at = 4;
  while (size - at >= 2) {
    size_t corners = readU16(data + at) & 0x3ffu;
    at += 2;
    if ((size - at) / 2 < corners) return;
    visit(data + at, corners);
    at += 2 * corners;
  }
}

size_t trianglesOf(size_t corners) { return corners == 3 ? 1 : corners == 4 ? 2 : 0; }

void boxOfPoints(const Mesh& mesh, Vector3& boxMin, Vector3& boxMax) {
  boxMin = Vector3{};
  boxMax = Vector3{};
  for (size_t i = 0; i < mesh.vertices.size(); ++i) {
    const Vector3& p = mesh.vertices[i].position;
    if (i == 0) {
      boxMin = p;
      boxMax = p;
      continue;
    }
    if (p.x < boxMin.x) boxMin.x = p.x;
    if (p.y < boxMin.y) boxMin.y = p.y;
    if (p.z < boxMin.z) boxMin.z = p.z;
    if (p.x > boxMax.x) boxMax.x = p.x;
    if (p.y > boxMax.y) boxMax.y = p.y;
    if (p.z > boxMax.z) boxMax.z = p.z;
  }
}

float divideOrZero(float a, float b) { return b != 0.0f ? a / b : 0.0f; }

}  // namespace

bool readLwoData(const DataBuffer& data, Mesh& mesh, Vector3& boxMin, Vector3& boxMax) {
  mesh = Mesh{};
  boxMin = Vector3{};
  boxMax = Vector3{};
  const size_t start = firstChunk(data);
  if (start == 0) return false;

  // Counting pass. Both counts are bounded by the buffer's size, so a hostile
  // file cannot ask for more memory than a small multiple of its own length.
  size_t pointCount = 0;
  size_t triangleBound = 0;
  forEachChunk(data, start, [&](const uint8_t* id, const uint8_t* chunk, size_t size) {
    if (idIs(id, "PNTS")) {
      pointCount += size / 12;
    } else if (idIs(id, "POLS")) {
      forEachPolygon(chunk, size, [&](const uint8_t*, size_t corners) { triangleBound += trianglesOf(corners); });
    }
  });
  if (pointCount > INT32_MAX || triangleBound > INT32_MAX) return false;

  allocateMesh(mesh, static_cast<int32_t>(pointCount), static_cast<int32_t>(triangleBound));
  for (MeshVertex& vertex : mesh.vertices) set(vertex.bitangent, 1.0f, 0.0f, 0.0f);

  // Reading pass. Indices count over every point of the file, including
  // points of later "PNTS" chunks; a polygon naming a point outside them is
  // dropped.
  size_t nextPoint = 0;
  size_t nextTriangle = 0;
  bool haveBox = false;
  forEachChunk(data, start, [&](const uint8_t* id, const uint8_t* chunk, size_t size) {
    if (idIs(id, "PNTS")) {
      for (size_t at = 0; size - at >= 12; at += 12) mesh.vertices[nextPoint++].position = readVector(chunk + at);
    } else if (idIs(id, "POLS")) {
      forEachPolygon(chunk, size, [&](const uint8_t* indices, size_t corners) {
        if (trianglesOf(corners) == 0) return;
        int32_t i[4];
        for (size_t k = 0; k < corners; ++k) {
          i[k] = readU16(indices + 2 * k);
          if (static_cast<size_t>(i[k]) >= pointCount) return;
        }
        MeshTriangle* t = &mesh.triangles[nextTriangle++];
        t->corners[0] = i[0];
        t->corners[1] = i[1];
        t->corners[2] = i[2];
        if (corners == 4) {
          t = &mesh.triangles[nextTriangle++];
          t->corners[0] = i[0];
          t->corners[1] = i[2];
          t->corners[2] = i[3];
        }
      });
    } else if (idIs(id, "BBOX") && size >= 24) {
      boxMin = readVector(chunk);
      boxMax = readVector(chunk + 12);
      haveBox = true;
    }
  });
  mesh.triangles.resize(nextTriangle);  // shrinks in place: no reallocation
  mesh.triangleCount = static_cast<int32_t>(nextTriangle);
  linkAdjacency(mesh);
  if (!haveBox) boxOfPoints(mesh, boxMin, boxMax);
  return true;
}

bool readLwo(const std::string& fileName, Mesh& mesh, Vector3& boxMin, Vector3& boxMax) {
  DataBuffer data;
  readDataFile(fileName, data);
  return readLwoData(data, mesh, boxMin, boxMax);
}

bool loadLwoMeshData(const DataBuffer& data, Mesh& mesh, const Vector3& axisU, const Vector3& axisV,
                     const Vector3& offset, int invertNormals) {
  Vector3 boxMin, boxMax;
  bool read = readLwoData(data, mesh, boxMin, boxMax);

  // Planar projection; half the depth widens both sides so that a deep object
  // is not stretched.
  Vector3 d = boxMax;
  subtract(d, boxMin);
  const float h = d.z * 0.5f;
  for (MeshVertex& vertex : mesh.vertices) {
    Vector3 p = vertex.position;
    subtract(p, boxMin);
    p.x = divideOrZero(p.x, d.x + h);
    p.y = divideOrZero(p.y, d.y + h);
    set(vertex.texCoord, dot(axisU, p) + offset.x, dot(axisV, p) + offset.y, 0.0f);
  }

  // Area-weighted vertex normals: the face normals are summed before they are
  // normalised.
  const MeshVertex* vertices = mesh.vertices.data();
  for (MeshTriangle& t : mesh.triangles) {
    t.faceNormal = triangleNormal(vertices[t.corners[0]].position, vertices[t.corners[1]].position,
                                  vertices[t.corners[2]].position);
  }
  for (MeshVertex& vertex : mesh.vertices) {
    Vector3 sum;
    for (int32_t t : vertex.adjacentTriangles) add(sum, mesh.triangles[static_cast<size_t>(t)].faceNormal);
    normalise(sum);
    if (invertNormals) scale(sum, -1.0f);
    vertex.normal = sum;
  }
  for (MeshTriangle& t : mesh.triangles) normalise(t.faceNormal);
  return read;
}

bool loadLwoMesh(const std::string& fileName, Mesh& mesh, const Vector3& axisU, const Vector3& axisV,
                 const Vector3& offset, int invertNormals) {
  DataBuffer data;
  readDataFile(fileName, data);
  return loadLwoMeshData(data, mesh, axisU, axisV, offset, invertNormals);
}

bool loadLwoMesh(const std::string& fileName, Mesh& mesh, int invertNormals) {
  return loadLwoMesh(fileName, mesh, {1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, invertNormals);
}
