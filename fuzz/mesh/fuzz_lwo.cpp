// The LWO2 reader and the loader's texture coordinates and normals over
// arbitrary bytes, through the same in-memory path as loadLwoMesh. The mesh
// invariants are checked too: a broken index would only show up later, in a
// drawing effect.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "mesh/mesh.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DataBuffer bytes(data, data + size);
  Mesh mesh;
  loadLwoMeshData(bytes, mesh, {1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 0.0f}, 0);
  if (mesh.vertices.size() != static_cast<size_t>(mesh.vertexCount)) std::abort();
  if (mesh.triangles.size() != static_cast<size_t>(mesh.triangleCount)) std::abort();
  size_t listed = 0;
  for (const MeshTriangle& t : mesh.triangles) {
    for (int32_t corner : t.corners) {
      if (corner < 0 || corner >= mesh.vertexCount) std::abort();
    }
  }
  for (const MeshVertex& v : mesh.vertices) {
    for (int32_t t : v.adjacentTriangles) {
      if (t < 0 || t >= mesh.triangleCount) std::abort();
    }
    listed += v.adjacentTriangles.size();
  }
  if (listed != 3 * mesh.triangles.size()) std::abort();
  recomputeNormals(mesh, 1);
  return 0;
}
