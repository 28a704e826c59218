#include "runtime/font_outline.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <deque>

namespace {

// Windows-1252 codes 0x80..0x9f; the rest of the code page equals Unicode.
const unsigned short cp1252High[32] = {
    0x20ac, 0, 0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017d, 0,
    0, 0x2018, 0x2019, 0x201c, 0x201d, 0x2022, 0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0, 0x017e, 0x0178};

unsigned long unicodeFor(int code) {
  if (code >= 0x80 && code < 0xa0) return cp1252High[code - 0x80];
  return static_cast<unsigned long>(code);
}

struct OutlineWalk {
  std::vector<OutlineContour> contours;
  double scale;       // font units to ems
  double flatness;    // in ems
  double lastX = 0, lastY = 0;
};

void addPoint(OutlineWalk& w, double x, double y) {
  w.lastX = x;
  w.lastY = y;
  w.contours.back().push_back({x * w.scale, y * w.scale});
}

// A curve whose second differences have size d stays within d / (4 n^2) of its n chords.
int segmentsFor(const OutlineWalk& w, double curvature) {
  double d = curvature * w.scale;
  int n = static_cast<int>(std::ceil(std::sqrt(d / (4.0 * w.flatness))));
  return std::clamp(n, 1, 64);
}

int moveTo(const FT_Vector* to, void* user) {
  auto& w = *static_cast<OutlineWalk*>(user);
  w.contours.emplace_back();
  addPoint(w, to->x, to->y);
  return 0;
}

int lineTo(const FT_Vector* to, void* user) {
  addPoint(*static_cast<OutlineWalk*>(user), to->x, to->y);
  return 0;
}

int conicTo(const FT_Vector* c, const FT_Vector* to, void* user) {
  auto& w = *static_cast<OutlineWalk*>(user);
  double x0 = w.lastX, y0 = w.lastY;
  int n = segmentsFor(w, std::hypot(x0 - 2 * c->x + to->x, y0 - 2 * c->y + to->y));
  for (int i = 1; i <= n; ++i) {
    double t = double(i) / n, u = 1 - t;
    addPoint(w, u * u * x0 + 2 * u * t * c->x + t * t * to->x, u * u * y0 + 2 * u * t * c->y + t * t * to->y);
  }
  return 0;
}

int cubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
  auto& w = *static_cast<OutlineWalk*>(user);
  double x0 = w.lastX, y0 = w.lastY;
  double d = 3.0 * std::max(std::hypot(x0 - 2 * c1->x + c2->x, y0 - 2 * c1->y + c2->y),
                            std::hypot(c1->x - 2 * c2->x + to->x, c1->y - 2 * c2->y + to->y));
  int n = segmentsFor(w, d);
  for (int i = 1; i <= n; ++i) {
    double t = double(i) / n, u = 1 - t;
    double a = u * u * u, b = 3 * u * u * t, e = 3 * u * t * t, f = t * t * t;
    addPoint(w, a * x0 + b * c1->x + e * c2->x + f * to->x, a * y0 + b * c1->y + e * c2->y + f * to->y);
  }
  return 0;
}

// The tessellator's output, collected as plain triangles.
struct Tessellation {
  std::vector<OutlinePoint>* triangles;
  std::deque<std::array<GLdouble, 3>> vertices;  // stable addresses for the tessellator
};

void GLAPIENTRY tessVertex(void* vertex, void* user) {
  const GLdouble* v = static_cast<const GLdouble*>(vertex);
  static_cast<Tessellation*>(user)->triangles->push_back({v[0], v[1]});
}
// An edge-flag callback makes the tessellator give separate triangles only.
void GLAPIENTRY tessEdgeFlag(GLboolean, void*) {}
void GLAPIENTRY tessCombine(GLdouble coords[3], void*[4], GLfloat[4], void** out, void* user) {
  auto& t = *static_cast<Tessellation*>(user);
  t.vertices.push_back({coords[0], coords[1], coords[2]});
  *out = t.vertices.back().data();
}

void fill(GlyphShape& shape) {
  Tessellation t{&shape.triangles, {}};
  for (const OutlineContour& c : shape.contours) {
    for (const OutlinePoint& p : c) t.vertices.push_back({p[0], p[1], 0.0});
  }
  GLUtesselator* tess = gluNewTess();
  gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);
  gluTessNormal(tess, 0.0, 0.0, 1.0);
  gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<void(GLAPIENTRY*)()>(tessVertex));
  gluTessCallback(tess, GLU_TESS_EDGE_FLAG_DATA, reinterpret_cast<void(GLAPIENTRY*)()>(tessEdgeFlag));
  gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<void(GLAPIENTRY*)()>(tessCombine));
  gluTessBeginPolygon(tess, &t);
  size_t next = 0;
  for (const OutlineContour& c : shape.contours) {
    gluTessBeginContour(tess);
    for (size_t i = 0; i < c.size(); ++i, ++next) gluTessVertex(tess, t.vertices[next].data(), t.vertices[next].data());
    gluTessEndContour(tess);
  }
  gluTessEndPolygon(tess);
  gluDeleteTess(tess);
  shape.triangles.resize(shape.triangles.size() / 3 * 3);
}

}  // namespace

bool openOutlineFont(const char* pattern, OutlineFont& font) {
  font = OutlineFont{};
  if (!FcInit()) return false;
  FcPattern* query = FcNameParse(reinterpret_cast<const FcChar8*>(pattern));
  FcConfigSubstitute(nullptr, query, FcMatchPattern);
  FcDefaultSubstitute(query);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, query, &result);
  FcChar8* file = nullptr;
  if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) font.file = reinterpret_cast<char*>(file);
  if (match) FcPatternDestroy(match);
  FcPatternDestroy(query);
  if (font.file.empty()) return false;
  FT_Library library;
  if (FT_Init_FreeType(&library) != 0) return false;
  FT_Face face;
  if (FT_New_Face(library, font.file.c_str(), 0, &face) != 0 || !FT_IS_SCALABLE(face)) {
    FT_Done_FreeType(library);
    return false;
  }
  font.library = library;
  font.face = face;
  return true;
}

void closeOutlineFont(OutlineFont& font) {
  if (font.face) FT_Done_Face(static_cast<FT_Face>(font.face));
  if (font.library) FT_Done_FreeType(static_cast<FT_Library>(font.library));
  font = OutlineFont{};
}

GlyphShape glyphShape(const OutlineFont& font, int code, double flatness) {
  GlyphShape shape;
  FT_Face face = static_cast<FT_Face>(font.face);
  if (!face) return shape;
  OutlineWalk walk{{}, 1.0 / face->units_per_EM, flatness};
  FT_UInt index = FT_Get_Char_Index(face, unicodeFor(code));
  if (FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP) != 0) return shape;
  shape.advance = static_cast<float>(face->glyph->advance.x * walk.scale);
  if (face->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
    FT_Outline_Funcs funcs = {moveTo, lineTo, conicTo, cubicTo, 0, 0};
    FT_Outline_Decompose(&face->glyph->outline, &funcs, &walk);
  }
  for (OutlineContour& c : walk.contours) {
    if (c.size() > 1 && c.front() == c.back()) c.pop_back();
    if (c.size() >= 3) shape.contours.push_back(std::move(c));
  }
  if (!shape.contours.empty()) fill(shape);
  return shape;
}
