// Mesh allocation, adjacency and the per-frame normal recomputation.
#include "mesh/mesh.h"

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

void recomputeNormals(Mesh& mesh, int invertNormals) {
  const float sign = invertNormals ? -1.0f : 1.0f;
  const MeshVertex* vertices = mesh.vertices.data();
  for (MeshTriangle& triangle : mesh.triangles) {
    Vector3 n = triangleNormal(vertices[triangle.corners[0]].position, vertices[triangle.corners[1]].position,
                               vertices[triangle.corners[2]].position);
    scale(n, sign);
    normalise(n);
    triangle.faceNormal = n;
  }
  const MeshTriangle* triangles = mesh.triangles.data();
  for (MeshVertex& vertex : mesh.vertices) {
    Vector3 sum;
    for (int32_t t : vertex.adjacentTriangles) add(sum, triangles[t].faceNormal);
    normalise(sum);
    scale(sum, -1.0f);
    vertex.normal = sum;
  }
}
