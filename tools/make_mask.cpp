// make_mask: the basic mesh effect's object, a rippled half shell like a mask,
// as an LWO2 file: make_mask OUT.lwo
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "tools/lwo_writer.h"

namespace {

constexpr int rings = 48;     // from the rim to the top
constexpr int segments = 96;  // around
constexpr double pi = 3.14159265358979323846;

LwoObject mask() {
  LwoObject object;
  for (int r = 0; r <= rings; ++r) {
    double polar = (0.5 * pi) * r / rings;  // 0 at the rim, pi/2 at the top
    for (int s = 0; s < segments; ++s) {
      double around = 2.0 * pi * s / segments;
      double ripple = 1.0 + 0.06 * std::sin(7.0 * around) * std::sin(3.0 * polar);
      double x = std::cos(polar) * std::cos(around) * ripple;
      double y = std::cos(polar) * std::sin(around) * ripple * 1.25;
      double z = std::sin(polar) * ripple * 0.8;
      object.points.push_back({static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)});
    }
  }
  for (int r = 0; r < rings; ++r) {
    for (int s = 0; s < segments; ++s) {
      uint32_t a = static_cast<uint32_t>(r * segments + s);
      uint32_t b = static_cast<uint32_t>(r * segments + (s + 1) % segments);
      object.polygons.push_back({a, b, b + segments, a + segments});
    }
  }
  return object;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_mask OUT.lwo\n");
    return 2;
  }
  std::filesystem::path out(argv[1]);
  if (out.has_parent_path()) std::filesystem::create_directories(out.parent_path());
  std::string error;
  if (!writeLwoFile(argv[1], mask(), &error)) {
    std::fprintf(stderr, "make_mask: %s: %s\n", argv[1], error.c_str());
    return 1;
  }
  std::printf("wrote %s\n", argv[1]);
  return 0;
}
