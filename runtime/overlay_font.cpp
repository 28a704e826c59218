#include "runtime/overlay_font.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>

#include "runtime/font_outline.h"

namespace {

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

// Filled front and back faces and the walls between them, then the advance.
void compileGlyph(const GlyphShape& shape, GLuint list) {
  glNewList(list, GL_COMPILE);
  glBegin(GL_TRIANGLES);
  glNormal3d(0.0, 0.0, 1.0);
  for (const OutlinePoint& p : shape.triangles) glVertex3d(p[0], p[1], 0.0);
  glNormal3d(0.0, 0.0, -1.0);
  for (size_t i = shape.triangles.size(); i-- > 0;) glVertex3d(shape.triangles[i][0], shape.triangles[i][1], -extrusion);
  glEnd();
  glBegin(GL_QUADS);
  for (const OutlineContour& contour : shape.contours) {
    for (size_t i = 0; i < contour.size(); ++i) {
      const OutlinePoint& a = contour[i];
      const OutlinePoint& b = contour[(i + 1) % contour.size()];
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
  glTranslatef(shape.advance, 0.0f, 0.0f);
  glEndList();
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
  OutlineFont font;
  if (!openOutlineFont("Arial:weight=bold:slant=roman", font)) {
    std::fprintf(stderr, "overlay font: no outline font matches Arial bold; comments are not drawn\n");
    return false;
  }
  for (int code = 0; code < characterCount; ++code) {
    GlyphShape shape = glyphShape(font, code, flatness);
    overlayFont.advances[code] = shape.advance;
    compileGlyph(shape, overlayFont.listBase + static_cast<GLuint>(code));
  }
  closeOutlineFont(font);
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
