// Loading a 100,000-triangle object, building a 500 x 64 lathe surface, and
// the per-frame normal recomputation of a 20,000-vertex tube.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "mesh/lathe.h"
#include "mesh/mesh.h"
#include "tools/lwo_writer.h"

namespace {

// A wavy 224 x 224 grid of quadrangles: 50,625 points, 100,352 triangles.
const char* const gridFile = "grid.lwo";
constexpr int gridQuads = 224;

void writeGrid() {
  static bool written = false;
  if (written) return;
  char pattern[] = "/tmp/quorin-bench-XXXXXX";
  if (!mkdtemp(pattern) || chdir(pattern) != 0) std::abort();
  LwoObject grid;
  const int side = gridQuads + 1;
  for (int j = 0; j < side; ++j) {
    for (int i = 0; i < side; ++i) {
      float x = static_cast<float>(i) / gridQuads;
      float y = static_cast<float>(j) / gridQuads;
      grid.points.push_back({x, y, 0.05f * std::sin(20.0f * x) * std::cos(17.0f * y)});
    }
  }
  for (int j = 0; j < gridQuads; ++j) {
    for (int i = 0; i < gridQuads; ++i) {
      uint32_t a = static_cast<uint32_t>(j * side + i);
      grid.polygons.push_back({a, a + 1, a + 1 + side, a + side});
    }
  }
  std::string error;
  if (!writeLwoFile(gridFile, grid, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    std::abort();
  }
  written = true;
}

void loadLwoMeshGrid(benchmark::State& state) {
  writeGrid();
  for (auto _ : state) {
    Mesh mesh;
    loadLwoMesh(gridFile, mesh);
    if (mesh.triangleCount != 2 * gridQuads * gridQuads) state.SkipWithError("grid did not load");
    benchmark::DoNotOptimize(mesh.vertices.data());
  }
}
BENCHMARK(loadLwoMeshGrid)->Unit(benchmark::kMillisecond);

Curve curveFrom(const std::string& text) {
  Curve curve;
  parseCurveData(DataBuffer(text.begin(), text.end()), curve);
  return curve;
}

void buildLatheSurface500x64(benchmark::State& state) {
  // A vase profile, a ribbed outline and gently varying curves round it.
  Curve profile = curveFrom(
      "0,0,0.5,-0.5\n1,0,1,0\n2,0,1.4,0.6\n3,0,0.8,1.4\n4,0,0.5,2\n5,0,0.9,2.6\n6,0,1.1,3\n7,0,1,3.5\n");
  std::string ribs = "1\n";
  for (int k = 0; k < 16; ++k) {
    float a = 6.2831855f * static_cast<float>(k) / 16.0f;
    float r = k % 2 ? 0.9f : 1.0f;
    ribs += std::to_string(k + 1) + ",0," + std::to_string(r * std::cos(a)) + "," + std::to_string(r * std::sin(a)) + "\n";
  }
  Curve outline = curveFrom(ribs);
  Curve scale = curveFrom("0,0,0,1\n1,0,1,1.1\n2,0,2,0.9\n3,0,3,1\n4,0,4,1\n");
  Curve turn = curveFrom("0,0,0,0\n1,0,1,0.05\n2,0,2,-0.05\n3,0,3,0\n4,0,4,0\n");
  LatheParams params;
  params.scaleYCurve = &scale;
  params.scaleCenterCurve = &scale;
  params.rotateCenterCurve = &turn;
  params.outCurve = &outline;
  params.divisions = 500;
  params.revolutions = 64;
  params.axis = 1;
  params.texGenMode = 4;
  for (auto _ : state) {
    Mesh mesh;
    buildLatheSurface(mesh, profile, params);
    benchmark::DoNotOptimize(mesh.vertices.data());
  }
}
BENCHMARK(buildLatheSurface500x64)->Unit(benchmark::kMillisecond);

void recomputeNormals20000(benchmark::State& state) {
  // 1,250 rings of 16 points: 20,000 vertices, 37,470 triangles.
  Mesh mesh;
  buildBoxTube(mesh, 1249, 4.0f, 1.0f, 4, 4, {32, 1, 2});
  if (mesh.vertexCount != 20000) state.SkipWithError("unexpected tube size");
  int frame = 0;
  for (auto _ : state) {
    // Move one vertex per frame so that every call sees changed positions.
    mesh.vertices[static_cast<size_t>(frame++ % 20000)].position.y += 0.001f;
    recomputeNormals(mesh, 0);
    benchmark::DoNotOptimize(mesh.vertices.data());
  }
}
BENCHMARK(recomputeNormals20000)->Unit(benchmark::kMicrosecond);

}  // namespace
