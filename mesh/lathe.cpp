// The lathe surface generator: profile rows stacked by height (or carried
// along a path), each swept round the outline into one row of vertices.
#include "mesh/lathe.h"

#include <cmath>
#include <cstdio>

namespace {

const float twoPi = 6.2831855f;
const float halfPi = 1.5707964f;
const float pi = 3.1415927f;

// x - trunc(x) for x >= 0; 1 - (-x - trunc(-x)) below, so frac(-0.25) = 0.75
// and frac(-1) = 1.
float frac(float x) {
  if (x >= 0.0f) return x - std::trunc(x);
  float y = -x;
  return 1.0f - (y - std::trunc(y));
}

// atan(y / x), plus pi for x < 0; +-pi/2 on the y axis. Range (-pi/2, 3pi/2).
float angleOf(float y, float x) {
  if (x == 0.0f) return y >= 0.0f ? halfPi : -halfPi;
  float a = std::atan(y / x);
  return x < 0.0f ? a + pi : a;
}

// The curve at parameter t in [0, 1].
Vector3 atParameter(const Curve* curve, float t) {
  Vector3 p;
  if (curve) evaluateNormalised(*curve, t, p);
  return p;
}

// The y of the curve at key time t.
float yAtKeyTime(const Curve* curve, float t) {
  Vector3 p;
  if (curve) positionAt(*curve, t, p);
  return p.y;
}

Vector3 difference(Vector3 a, const Vector3& b) {
  subtract(a, b);
  return a;
}

Vector3 lerp(const Vector3& a, const Vector3& b, float f) {
  return {a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f, a.z + (b.z - a.z) * f};
}

void refuse(const char* why) { std::fprintf(stderr, "lathe surface: %s; the mesh is left empty\n", why); }

// What depends only on the column u.
struct LatheColumn {
  Vector3 bitangent;
  Vector3 outline;  // outline sample relative to the outline's centre
  float centreScale = 0.0f;
  float centreTurn = 0.0f;  // radians
  float heightScale = 0.0f;
};

std::vector<LatheColumn> makeColumns(const LatheParams& params) {
  const int32_t revolutions = params.revolutions;
  std::vector<LatheColumn> columns(static_cast<size_t>(revolutions));
  Vector3 outlineCentre;
  for (int32_t u = 0; u < revolutions; ++u) {
    LatheColumn& column = columns[static_cast<size_t>(u)];
    column.outline = atParameter(params.outCurve, static_cast<float>(u) / static_cast<float>(revolutions));
    add(outlineCentre, column.outline);

    // Only the coordinate axes are defined; any other gives no bitangent.
    if (params.axis >= 0 && params.axis <= 2) {
      set(column.bitangent, 0.0f, 0.0f, -1.0f);
      rotateAboutAxis(column.bitangent, params.axis,
                      twoPi * static_cast<float>(u) / static_cast<float>(revolutions));
    }
    const float across = static_cast<float>(u) / static_cast<float>(revolutions - 1);
    column.centreScale =
        yAtKeyTime(params.scaleCenterCurve, frac((across + params.scaleCenterOffset) * params.scaleCenterRepeat));
    column.centreTurn =
        yAtKeyTime(params.rotateCenterCurve, frac((across + params.rotateCenterOffset) * params.rotateCenterRepeat)) *
        twoPi;
    column.heightScale = yAtKeyTime(params.scaleYCurve, frac((across + params.scaleYOffset) * params.scaleYRepeat));
  }
  scale(outlineCentre, 1.0f / static_cast<float>(revolutions));
  for (LatheColumn& column : columns) subtract(column.outline, outlineCentre);
  return columns;
}

// Seam data of vertex (q, u) with c = u / revolutions, before the path
// length scales v.
void setSeams(MeshVertex& vertex, int32_t q, int32_t u, int32_t divisions, int32_t revolutions, float c, float v) {
  const bool first = u == 0;
  const bool last = u == revolutions - 1;
  if (first) {
    vertex.seamFlags += 1;
    vertex.seamTexCoordU = {1.0f, v, 0.0f};
  } else if (last) {
    vertex.seamFlags += 1;
    vertex.seamTexCoordU = {c, v, 0.0f};
  }
  if (q == 0) {
    vertex.seamFlags += 2;
    vertex.seamTexCoordV = {c, 1.0f, 0.0f};
    if (first || last) {
      vertex.seamFlags += 4;
      vertex.seamTexCoordCorner = {first ? 1.0f : c, 1.0f, 0.0f};
    }
  } else if (q == divisions - 1) {
    vertex.seamFlags += 2;
    vertex.seamTexCoordV = {c, v, 0.0f};
    if (first || last) {
      vertex.seamFlags += 4;
      vertex.seamTexCoordCorner = {last ? c : 1.0f, v, 0.0f};
    }
  }
}

void setCorners(MeshTriangle& t, int32_t a, int32_t b, int32_t c) {
  t.corners[0] = a;
  t.corners[1] = b;
  t.corners[2] = c;
}

// The band of quads from row start b to row start next, the closing quad of
// the row last.
size_t addBand(Mesh& mesh, size_t t, int32_t b, int32_t next, int32_t revolutions) {
  for (int32_t u = 0; u + 1 < revolutions; ++u) {
    setCorners(mesh.triangles[t++], b + u, b + u + 1, next + u);
    setCorners(mesh.triangles[t++], b + u + 1, next + u + 1, next + u);
  }
  const int32_t e = revolutions - 1;
  setCorners(mesh.triangles[t++], b + e, b, next + e);
  setCorners(mesh.triangles[t++], b, next, next + e);
  return t;
}

}  // namespace

void buildLatheSurface(Mesh& mesh, const Curve& profile, const LatheParams& params) {
  mesh = Mesh{};
  const int32_t divisions = params.divisions;
  const int32_t revolutions = params.revolutions;
  if (divisions < 2 || divisions > maxLatheDivisions) return refuse("divisions must be 2 to 5000");
  if (revolutions < 2) return refuse("revolutions must be at least 2");
  const bool closed = profile.closed != 0;
  const int64_t vertexCount = static_cast<int64_t>(divisions) * revolutions;
  const int64_t triangleCount = 2 * static_cast<int64_t>(revolutions) * (closed ? divisions : divisions - 1);
  if (triangleCount > INT32_MAX) return refuse("too many revolutions");

  // Profile samples, their height range, centre and arc length.
  const float m = static_cast<float>(closed ? divisions : divisions - 1);
  std::vector<Vector3> samples(static_cast<size_t>(divisions));
  std::vector<float> arc(static_cast<size_t>(divisions));
  Vector3 centre;
  float minY = 100000.0f;
  float maxY = -100000.0f;
  float length = 0.0f;
  for (int32_t q = 0; q < divisions; ++q) {
    Vector3& p = samples[static_cast<size_t>(q)];
    p = atParameter(&profile, static_cast<float>(q) / m);
    add(centre, p);
    if (p.y < minY) minY = p.y;
    if (p.y > maxY) maxY = p.y;
    if (q >= 1) length += vectorLength(difference(p, samples[static_cast<size_t>(q - 1)]));
    arc[static_cast<size_t>(q)] = length;
  }
  if (!(maxY > minY)) return refuse("the profile has no height range");
  set(centre, centre.x / m, centre.y / m, centre.z / m);  // by m, not by the sample count
  for (float& a : arc) a = length > 0.0f ? a / length : 0.0f;

  // The path: position and (pitch, 0, yaw) per row, and its length.
  std::vector<Vector3> pathPosition;
  std::vector<Vector3> pathAngles;
  float pathLength = 1.0f;
  if (params.move) {
    pathPosition.resize(static_cast<size_t>(divisions));
    pathAngles.resize(static_cast<size_t>(divisions));
    pathLength = 0.0f;
    for (int32_t q = 0; q < divisions; ++q) {
      const float t = static_cast<float>(q) / (m + 1.0f);
      Vector3 g = atParameter(params.moveCurve, t);
      if (q >= 1) pathLength += vectorLength(difference(g, pathPosition[static_cast<size_t>(q - 1)]));
      Vector3 tangent = difference(atParameter(params.moveCurve, t + 0.001f), g);
      normalise(tangent);
      const float pitch = -angleOf(tangent.z, std::sqrt(tangent.x * tangent.x + tangent.y * tangent.y));
      const float yaw = angleOf(tangent.y, tangent.x) + halfPi;
      pathPosition[static_cast<size_t>(q)] = g;
      pathAngles[static_cast<size_t>(q)] = {pitch, 0.0f, yaw};
    }
  }

  const std::vector<LatheColumn> columns = makeColumns(params);
  allocateMesh(mesh, static_cast<int32_t>(vertexCount), static_cast<int32_t>(triangleCount));
  const float lastRow = static_cast<float>(divisions - 1);
  for (int32_t q = 0; q < divisions; ++q) {
    const Vector3& sample = samples[static_cast<size_t>(q)];
    // Row height index k in [0, divisions - 1]; clamped so that an odd curve
    // value cannot index past the path tables.
    float k = (sample.y - minY) / (maxY - minY) * lastRow;
    if (!(k >= 0.0f)) k = 0.0f;
    if (k > lastRow) k = lastRow;
    const int32_t w = static_cast<int32_t>(k);
    const float f = k - static_cast<float>(w);
    Vector3 pathAt, angles;
    if (params.move) {
      const size_t wi = static_cast<size_t>(w);
      const bool alone = f == 0.0f || w + 1 >= divisions;
      pathAt = alone ? pathPosition[wi] : lerp(pathPosition[wi], pathPosition[wi + 1], f);
      angles = alone ? pathAngles[wi] : lerp(pathAngles[wi], pathAngles[wi + 1], f);
    }
    float v = 0.0f;
    if (params.texGenMode == 1) v = k / lastRow;
    if (params.texGenMode == 3) v = static_cast<float>(q) / static_cast<float>(divisions);
    if (params.texGenMode == 4) v = arc[static_cast<size_t>(q)];

    for (int32_t u = 0; u < revolutions; ++u) {
      const LatheColumn& column = columns[static_cast<size_t>(u)];
      // Scale and turn the profile about its centre, then sweep its radius
      // (x) round the outline; the profile's z is dropped.
      Vector3 b = sample;
      subtract(b, centre);
      b.x *= column.centreScale;
      b.y *= column.centreScale;
      rotateAboutAxis(b, 2, column.centreTurn);
      add(b, centre);
      b = {b.x * column.outline.x, b.y, b.x * column.outline.y};
      if (params.move) {
        // The section lies flat, turned to the path's heading and tilted by
        // its pitch about the heading's side direction.
        b.y = 0.0f;
        rotateAboutAxis(b, 2, angles.z);
        Vector3 side = {1.0f, 0.0f, 0.0f};
        rotateAboutAxis(side, 2, angles.z);
        rotateAboutVector(b, side, angles.x);
        add(b, pathAt);
      }
      b.y *= column.heightScale;

      MeshVertex& vertex = mesh.vertices[static_cast<size_t>(q * revolutions + u)];
      const float c = static_cast<float>(u) / static_cast<float>(revolutions);
      setSeams(vertex, q, u, divisions, revolutions, c, v);
      vertex.position = b;
      vertex.basePosition = b;
      vertex.bitangent = column.bitangent;
      vertex.texCoord = {c, v, 0.0f};
      vertex.texCoord.y *= pathLength;
      vertex.seamTexCoordU.y *= pathLength;
      vertex.seamTexCoordV.y *= pathLength;
      vertex.seamTexCoordCorner.y *= pathLength;
    }
  }

  size_t t = 0;
  for (int32_t q = 0; q + 1 < divisions; ++q) t = addBand(mesh, t, q * revolutions, (q + 1) * revolutions, revolutions);
  if (closed) addBand(mesh, t, (divisions - 1) * revolutions, 0, revolutions);
  linkAdjacency(mesh);
}
