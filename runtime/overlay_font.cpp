#include "runtime/overlay_font.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <deque>

namespace {

using Point = std::array<double, 3>;
using Contour = std::vector<Point>;

struct OverlayFontState {
  GLuint listBase = 0;
  float advances[256] = {};
};

OverlayFontState overlayFont;

constexpr int characterCount = 255;  // codes 0..254; 255 has no list
constexpr double extrusion = 0.2;
// The font is made 12 units high and curves are flattened to within 0.5 of
// those units; in ems that is 0.5 / 12.
constexpr double flatness = 0.5 / 12.0;
constexpr float lineHeight = 1.0f;
constexpr float wrapWidth = 25.0f;

// Windows-1252 codes 0x80..0x9f; the rest of the code page equals Unicode.
const unsigned short cp1252High[32] = {
    0x20ac, 0, 0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017d, 0,
    0, 0x2018, 0x2019, 0x201c, 0x201d, 0x2022, 0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0, 0x017e, 0x0178};

unsigned long unicodeFor(int code) {
  if (code >= 0x80 && code < 0xa0) return cp1252High[code - 0x80];
  return static_cast<unsigned long>(code);
}

std::string findFontFile() {
  std::string path;
  if (!FcInit()) return path;
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("Arial:weight=bold:slant=roman"));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcChar8* file = nullptr;
  if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) path = reinterpret_cast<char*>(file);
  if (match) FcPatternDestroy(match);
  FcPatternDestroy(pattern);
  return path;
}

// Outline decomposition into flattened contours, in ems.
struct OutlineWalk {
  std::vector<Contour> contours;
  double scale;
  double lastX = 0, lastY = 0;
};

void addPoint(OutlineWalk& w, double x, double y) {
  w.lastX = x;
  w.lastY = y;
  w.contours.back().push_back({x * w.scale, y * w.scale, 0.0});
}

int segmentsFor(double curvature, double scale) {
  // A curve with second differences of size d stays within d / (4 n^2) of its n chords.
  double d = curvature * scale;
  int n = static_cast<int>(std::ceil(std::sqrt(d / (4.0 * flatness))));
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
  int n = segmentsFor(std::hypot(x0 - 2 * c->x + to->x, y0 - 2 * c->y + to->y), w.scale);
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
  int n = segmentsFor(d, w.scale);
  for (int i = 1; i <= n; ++i) {
    double t = double(i) / n, u = 1 - t;
    double a = u * u * u, b = 3 * u * u * t, e = 3 * u * t * t, f = t * t * t;
    addPoint(w, a * x0 + b * c1->x + e * c2->x + f * to->x, a * y0 + b * c1->y + e * c2->y + f * to->y);
  }
  return 0;
}

// Vertices the tessellator makes where contours cross live until the glyph is done.
std::deque<Point> combinedVertices;

void GLAPIENTRY tessBegin(GLenum type) { glBegin(type); }
void GLAPIENTRY tessVertex(void* data) { glVertex3dv(static_cast<const GLdouble*>(data)); }
void GLAPIENTRY tessEnd() { glEnd(); }
void GLAPIENTRY tessCombine(GLdouble coords[3], void*[4], GLfloat[4], void** out) {
  combinedVertices.push_back({coords[0], coords[1], coords[2]});
  *out = combinedVertices.back().data();
}

// One filled face of the glyph at depth z, facing +z or -z.
void drawFace(GLUtesselator* tess, std::vector<Contour>& contours, double z) {
  glNormal3d(0.0, 0.0, z == 0.0 ? 1.0 : -1.0);
  for (Contour& contour : contours) {
    for (Point& p : contour) p[2] = z;
  }
  gluTessBeginPolygon(tess, nullptr);
  for (Contour& contour : contours) {
    gluTessBeginContour(tess);
    for (Point& p : contour) gluTessVertex(tess, p.data(), p.data());
    gluTessEndContour(tess);
  }
  gluTessEndPolygon(tess);
}

// The walls between the front face and the back face.
void drawSides(const std::vector<Contour>& contours) {
  glBegin(GL_QUADS);
  for (const Contour& contour : contours) {
    for (size_t i = 0; i < contour.size(); ++i) {
      const Point& a = contour[i];
      const Point& b = contour[(i + 1) % contour.size()];
      double dx = b[0] - a[0], dy = b[1] - a[1];
      double length = std::hypot(dx, dy);
      if (length == 0.0) continue;
      glNormal3d(dy / length, -dx / length, 0.0);
      glVertex3d(a[0], a[1], 0.0);
      glVertex3d(a[0], a[1], -extrusion);
      glVertex3d(b[0], b[1], -extrusion);
      glVertex3d(b[0], b[1], 0.0);
    }
  }
  glEnd();
}

void buildGlyphList(FT_Face face, GLUtesselator* tess, int code) {
  FT_UInt index = FT_Get_Char_Index(face, unicodeFor(code));
  double scale = 1.0 / face->units_per_EM;
  OutlineWalk walk{{}, scale};
  float advance = 0.0f;
  if (FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP) == 0) {
    advance = static_cast<float>(face->glyph->advance.x * scale);
    if (face->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
      FT_Outline_Funcs funcs = {moveTo, lineTo, conicTo, cubicTo, 0, 0};
      FT_Outline_Decompose(&face->glyph->outline, &funcs, &walk);
    }
  }
  // The decomposition repeats a contour's first point at its end.
  for (Contour& c : walk.contours) {
    if (c.size() > 1 && c.front()[0] == c.back()[0] && c.front()[1] == c.back()[1]) c.pop_back();
  }
  overlayFont.advances[code] = advance;
  glNewList(overlayFont.listBase + static_cast<GLuint>(code), GL_COMPILE);
  if (!walk.contours.empty()) {
    drawFace(tess, walk.contours, 0.0);
    drawFace(tess, walk.contours, -extrusion);
    drawSides(walk.contours);
  }
  glTranslatef(advance, 0.0f, 0.0f);
  glEndList();
  combinedVertices.clear();
}

void drawLine(const std::string& text, int lineIndex) {
  glPushMatrix();
  glTranslatef(0.0f, -static_cast<float>(lineIndex) * lineHeight, 0.0f);
  glPushAttrib(GL_LIST_BIT);
  glListBase(overlayFont.listBase);
  glCallLists(static_cast<GLsizei>(text.size()), GL_UNSIGNED_BYTE, text.data());
  glPopAttrib();
  glPopMatrix();
}

}  // namespace

bool makeOverlayFont() {
  overlayFont.listBase = glGenLists(256);
  std::string file = findFontFile();
  FT_Library library;
  FT_Face face;
  if (file.empty() || FT_Init_FreeType(&library) != 0) {
    std::fprintf(stderr, "overlay font: no font matches Arial bold; comments are not drawn\n");
    return false;
  }
  if (FT_New_Face(library, file.c_str(), 0, &face) != 0 || !FT_IS_SCALABLE(face)) {
    std::fprintf(stderr, "overlay font: cannot load the outlines of %s; comments are not drawn\n", file.c_str());
    FT_Done_FreeType(library);
    return false;
  }
  GLUtesselator* tess = gluNewTess();
  gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);
  gluTessCallback(tess, GLU_TESS_BEGIN, reinterpret_cast<void(GLAPIENTRY*)()>(tessBegin));
  gluTessCallback(tess, GLU_TESS_VERTEX, reinterpret_cast<void(GLAPIENTRY*)()>(tessVertex));
  gluTessCallback(tess, GLU_TESS_END, reinterpret_cast<void(GLAPIENTRY*)()>(tessEnd));
  gluTessCallback(tess, GLU_TESS_COMBINE, reinterpret_cast<void(GLAPIENTRY*)()>(tessCombine));
  for (int code = 0; code < characterCount; ++code) buildGlyphList(face, tess, code);
  gluDeleteTess(tess);
  FT_Done_Face(face);
  FT_Done_FreeType(library);
  return true;
}

void deleteOverlayFont() {
  if (overlayFont.listBase) glDeleteLists(overlayFont.listBase, 256);
  overlayFont = OverlayFontState{};
}

float overlayAdvance(unsigned char code) { return overlayFont.advances[code]; }

std::vector<std::string> wrapOverlayText(const std::string& text, const float advances[256], float width) {
  std::vector<std::string> lines(1);
  float lineWidth = 0.0f;
  for (char c : text) {
    lines.back().push_back(c);
    lineWidth += advances[static_cast<unsigned char>(c)];
    if (lineWidth > width) {
      lines.emplace_back();
      lineWidth = 0.0f;
    }
  }
  return lines;
}

int drawOverlayText(const std::string& text, bool wrap) {
  if (!overlayFont.listBase) return 0;
  if (!wrap) {
    drawLine(text, 0);
    return 0;
  }
  std::vector<std::string> lines = wrapOverlayText(text, overlayFont.advances, wrapWidth);
  for (size_t i = 0; i < lines.size(); ++i) drawLine(lines[i], static_cast<int>(i));
  return static_cast<int>(lines.size()) - 1;
}
