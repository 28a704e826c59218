// The straight tube of square section that the tentacle, twist and cube-tube
// effects bend into shape.
#include "mesh/mesh.h"

void buildBoxTube(Mesh& mesh, int32_t segments, float uRepeat, float vRepeat, int32_t sideCountY,
                  int32_t sideCountZ, const Vector3& scale) {
  mesh = Mesh{};
  // A zero side count leaves out that pair of sides; the section needs two points.
  if (segments < 1 || sideCountY < 0 || sideCountZ < 0 || sideCountY + sideCountZ < 1) return;
  const int64_t c = 2 * (static_cast<int64_t>(sideCountY) + sideCountZ);
  const int64_t vertexCount = (static_cast<int64_t>(segments) + 1) * c;
  const int64_t triangleCount = 2 * static_cast<int64_t>(segments) * (c - 1);
  if (vertexCount > INT32_MAX || triangleCount > INT32_MAX) return;

  // The section goes once round the unit square in the YZ plane; its first
  // point is not repeated at the end.
  std::vector<Vector3> section;
  section.reserve(static_cast<size_t>(c));
  const float sy = static_cast<float>(sideCountY);
  const float sz = static_cast<float>(sideCountZ);
  for (int32_t k = 0; k < sideCountY; ++k) section.push_back({0.0f, static_cast<float>(k) / sy - 0.5f, -0.5f});
  for (int32_t k = 0; k < sideCountZ; ++k) section.push_back({0.0f, 0.5f, static_cast<float>(k) / sz - 0.5f});
  for (int32_t k = 0; k < sideCountY; ++k) section.push_back({0.0f, 0.5f - static_cast<float>(k) / sy, 0.5f});
  for (int32_t k = 0; k < sideCountZ; ++k) section.push_back({0.0f, -0.5f, 0.5f - static_cast<float>(k) / sz});

  allocateMesh(mesh, static_cast<int32_t>(vertexCount), static_cast<int32_t>(triangleCount));
  const int32_t ring = static_cast<int32_t>(c);
  for (int32_t r = 0; r <= segments; ++r) {
    const float along = static_cast<float>(r) / static_cast<float>(segments);
    for (int32_t k = 0; k < ring; ++k) {
      MeshVertex& v = mesh.vertices[static_cast<size_t>(r * ring + k)];
      set(v.position, along - 0.5f, section[static_cast<size_t>(k)].y, section[static_cast<size_t>(k)].z);
      multiplyComponents(v.position, scale.x, scale.y, scale.z);
      v.basePosition = v.position;
      set(v.bitangent, 1.0f, 0.0f, 0.0f);
      set(v.texCoord, along * uRepeat, static_cast<float>(k) / static_cast<float>(ring) * vRepeat, 0.0f);
    }
  }

  // The strip from the section's last point back to its first stays open:
  // its texture coordinates would jump from (c - 1) / c back to 0.
  size_t t = 0;
  for (int32_t r = 0; r < segments; ++r) {
    const int32_t b = r * ring;
    for (int32_t k = 0; k + 1 < ring; ++k) {
      MeshTriangle& first = mesh.triangles[t++];
      first.corners[0] = b + k;
      first.corners[1] = b + k + 1;
      first.corners[2] = b + ring + k;
      MeshTriangle& second = mesh.triangles[t++];
      second.corners[0] = b + k + 1;
      second.corners[1] = b + ring + k + 1;
      second.corners[2] = b + ring + k;
    }
  }
  linkAdjacency(mesh);
}
