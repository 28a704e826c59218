// Mesh allocation, adjacency and the per-frame normal recomputation.
#include "mesh/mesh.h"

#include <cmath>

void allocateMesh(Mesh& mesh, int32_t vertexCount, int32_t triangleCount) {
  mesh = Mesh{};
  if (vertexCount < 0) vertexCount = 0;
  if (triangleCount < 0) triangleCount = 0;
  mesh.vertices.resize(static_cast<size_t>(vertexCount));
  mesh.vertexCount = vertexCount;
  mesh.triangles.resize(static_cast<size_t>(triangleCount));
  mesh.triangleCount = triangleCount;
}

void linkAdjacency(Mesh& mesh) {
  // Counting first lets every list be sized once.
  std::vector<int32_t> uses(mesh.vertices.size(), 0);
  for (const MeshTriangle& triangle : mesh.triangles) {
    for (int32_t corner : triangle.corners) ++uses[static_cast<size_t>(corner)];
  }
  for (size_t v = 0; v < mesh.vertices.size(); ++v) {
    mesh.vertices[v].adjacentTriangles.clear();
    mesh.vertices[v].adjacentTriangles.reserve(static_cast<size_t>(uses[v]));
  }
  for (size_t t = 0; t < mesh.triangles.size(); ++t) {
    for (int32_t corner : mesh.triangles[t].corners) {
      mesh.vertices[static_cast<size_t>(corner)].adjacentTriangles.push_back(static_cast<int32_t>(t));
    }
  }
}

// The per-frame loops below spell out the vector operations of render/math.h
// (same formulas, same rounding): calling them out of line per triangle costs
// more than the arithmetic itself.
namespace {

inline Vector3 unitOrZero(float x, float y, float z) {
  float length = std::sqrt(x * x + y * y + z * z);
  if (length == 0.0f) return Vector3{};
  return {x / length, y / length, z / length};
}

}  // namespace

namespace {

void recomputeSignedNormals(Mesh& mesh, float sign, float vertexSign) {
  const MeshVertex* vertices = mesh.vertices.data();
  for (MeshTriangle& triangle : mesh.triangles) {
    const Vector3& a = vertices[triangle.corners[0]].position;
    const Vector3& b = vertices[triangle.corners[1]].position;
    const Vector3& c = vertices[triangle.corners[2]].position;
    const float ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
    const float vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
    triangle.faceNormal =
        unitOrZero(sign * (uy * vz - uz * vy), sign * (uz * vx - ux * vz), sign * (ux * vy - uy * vx));
  }
  const MeshTriangle* triangles = mesh.triangles.data();
  for (MeshVertex& vertex : mesh.vertices) {
    float x = 0.0f, y = 0.0f, z = 0.0f;
    for (int32_t t : vertex.adjacentTriangles) {
      const Vector3& n = triangles[t].faceNormal;
      x += n.x;
      y += n.y;
      z += n.z;
    }
    Vector3 n = unitOrZero(x, y, z);
    vertex.normal = {vertexSign * n.x, vertexSign * n.y, vertexSign * n.z};
  }
}

}  // namespace

void recomputeNormals(Mesh& mesh, int invertNormals) {
  recomputeSignedNormals(mesh, invertNormals ? -1.0f : 1.0f, -1.0f);
}

void recomputeSmoothNormals(Mesh& mesh) { recomputeSignedNormals(mesh, 1.0f, 1.0f); }
