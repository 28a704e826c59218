// make_glyphs: the text effect's two glyph sets as LWO2 meshes, made from
// outline fonts: letters one em high, 0.2 em deep, front face towards +z.
//   make_glyphs PRODUCTION_DIR
#include <cstdio>
#include <filesystem>
#include <string>

#include "runtime/font_outline.h"
#include "tools/lwo_writer.h"

namespace {

constexpr double depth = 0.2;
constexpr double flatness = 0.01;

LwoObject glyphObject(const GlyphShape& shape) {
  LwoObject object;
  auto point = [&](const OutlinePoint& p, double z) {
    object.points.push_back({static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(z)});
    return static_cast<uint32_t>(object.points.size() - 1);
  };
  for (size_t i = 0; i + 2 < shape.triangles.size(); i += 3) {
    const OutlinePoint* t = &shape.triangles[i];
    object.polygons.push_back({point(t[0], 0.0), point(t[1], 0.0), point(t[2], 0.0)});
    object.polygons.push_back({point(t[2], -depth), point(t[1], -depth), point(t[0], -depth)});
  }
  for (const OutlineContour& contour : shape.contours) {
    for (size_t i = 0; i < contour.size(); ++i) {
      const OutlinePoint& a = contour[i];
      const OutlinePoint& b = contour[(i + 1) % contour.size()];
      object.polygons.push_back({point(a, 0.0), point(a, -depth), point(b, -depth), point(b, 0.0)});
    }
  }
  return object;
}

bool writeSet(const char* pattern, const std::string& prefix) {
  OutlineFont font;
  if (!openOutlineFont(pattern, font)) {
    std::fprintf(stderr, "make_glyphs: no outline font for %s\n", pattern);
    return false;
  }
  std::filesystem::create_directories(std::filesystem::path(prefix).parent_path());
  bool ok = true;
  for (int code = 33; code <= 126 && ok; ++code) {
    char path[512];
    std::snprintf(path, sizeof path, "%s%03d.lwo", prefix.c_str(), code);
    std::string error;
    ok = writeLwoFile(path, glyphObject(glyphShape(font, code, flatness)), &error);
    if (!ok) std::fprintf(stderr, "make_glyphs: %s: %s\n", path, error.c_str());
  }
  std::printf("wrote glyphs 033..126 of %s as %s###.lwo\n", font.file.c_str(), prefix.c_str());
  closeOutlineFont(font);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_glyphs PRODUCTION_DIR\n");
    return 2;
  }
  std::string dir = argv[1];
  bool ok = writeSet("Arial:weight=bold", dir + "/duvova/meshes/font/porscha_") &&
            writeSet("Liberation Serif:weight=bold", dir + "/duvova/meshes/123and/font_");
  return ok ? 0 : 1;
}
