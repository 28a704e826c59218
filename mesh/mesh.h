// The one triangle-mesh record, the LightWave object loader, the box tube
// generator and the per-frame normal recomputation. The lathe generator is in
// mesh/lathe.h.
//
// References between vertices and triangles are indices into the same mesh's
// arrays, so a mesh can be copied or moved without fixing anything up.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "render/math.h"
#include "runtime/datapack.h"

struct MeshVertex {
  Vector3 position;
  Vector3 basePosition;  // rest position for animating effects; generators copy position here
  Vector3 normal;
  Vector3 bitangent;     // sent as the vertex colour to the bump-mapping programs
  Vector3 texCoord;      // (u, v, 0)
  Vector3 seamTexCoordU;       // used where a triangle lies on the revolution seam
  Vector3 seamTexCoordV;       // ... on the profile seam
  Vector3 seamTexCoordCorner;  // ... where both seams meet
  int32_t seamFlags = 0;       // 1: revolution seam, 2: profile seam, 4: corner
  std::vector<int32_t> adjacentTriangles;  // triangles using this vertex, in creation order
};

struct MeshTriangle {
  int32_t cornerCount = 3;
  int32_t corners[3] = {0, 0, 0};  // vertex indices in winding order
  Vector3 faceNormal;              // unit (b - a) x (c - a)
};

// vertices.size() == vertexCount and triangles.size() == triangleCount; the
// arrays are sized once when the mesh is made and never resized afterwards.
struct Mesh {
  std::vector<MeshVertex> vertices;
  int32_t vertexCount = 0;
  std::vector<MeshTriangle> triangles;
  int32_t triangleCount = 0;
};

// Empties the mesh and gives it vertexCount default vertices and
// triangleCount triangles with no corners set.
void allocateMesh(Mesh& mesh, int32_t vertexCount, int32_t triangleCount);
// Rebuilds every vertex's adjacency list from the triangles' corners: each
// triangle, in array order, is appended to the list of each of its corners in
// corner order. The corners must be valid vertex indices.
void linkAdjacency(Mesh& mesh);

// --- LightWave objects (LWO2) ------------------------------------------------

// Reads points, triangles and quadrangles (quadrangle i0 i1 i2 i3 gives
// (i0, i1, i2) and (i0, i2, i3)) and the bounding box into an emptied mesh.
// Vertices get bitangent (1, 0, 0) and zero normal and texCoord. Polygons
// naming a point the file does not have are dropped; without a "BBOX" chunk
// the box is that of the points. False when the data is no LWO2 object.
bool readLwoData(const DataBuffer& data, Mesh& mesh, Vector3& boxMin, Vector3& boxMax);
// readLwoData over the file from readDataFile. False when the file is missing,
// empty or no LWO2 object; the mesh is then empty.
bool readLwo(const std::string& fileName, Mesh& mesh, Vector3& boxMin, Vector3& boxMax);

// readLwoData, then planar texture coordinates from the box and area-weighted
// normals. With q = position - boxMin, d = boxMax - boxMin, h = d.z / 2:
//   p = (q.x / (d.x + h), q.y / (d.y + h), q.z)   (a zero divisor gives 0)
//   texCoord = (axisU . p + offset.x, axisV . p + offset.y, 0)
//   normal = normalise(sum of the adjacent (b - a) x (c - a)), negated when invertNormals
bool loadLwoMeshData(const DataBuffer& data, Mesh& mesh, const Vector3& axisU, const Vector3& axisV,
                     const Vector3& offset, int invertNormals);
bool loadLwoMesh(const std::string& fileName, Mesh& mesh, const Vector3& axisU, const Vector3& axisV,
                 const Vector3& offset, int invertNormals);
// The default projection: axes (1, 0, 0) and (0, 1, 0), offset (0, 0, 0).
bool loadLwoMesh(const std::string& fileName, Mesh& mesh, int invertNormals = 0);

// --- Generated meshes --------------------------------------------------------

// A tube of square section along X, x from -0.5 to 0.5 before scaling, with
// segments + 1 rings of 2 (sideCountY + sideCountZ) points. The strip between
// the last and the first point of the section stays open. Normals are left
// zero (callers recompute them). Fewer than 1 segment, a negative side count
// or two zero side counts give an empty mesh.
void buildBoxTube(Mesh& mesh, int32_t segments, float uRepeat, float vRepeat, int32_t sideCountY,
                  int32_t sideCountZ, const Vector3& scale);

// Every frame after positions change, with s = -1 when invertNormals is set:
//   faceNormal = normalise(s (b - a) x (c - a))
//   normal = -normalise(sum of the adjacent faceNormals)   (faces count equally)
// Allocates nothing.
void recomputeNormals(Mesh& mesh, int invertNormals);
// The same without either negation: faceNormal = normalise((b - a) x (c - a)),
// normal = normalise(sum of the adjacent faceNormals).
void recomputeSmoothNormals(Mesh& mesh);
