// Glyph outlines of a TrueType font as flat shapes in ems: the overlay font
// draws them and the asset generator turns them into glyph meshes.
#pragma once

#include <array>
#include <string>
#include <vector>

using OutlinePoint = std::array<double, 2>;
using OutlineContour = std::vector<OutlinePoint>;

struct GlyphShape {
  std::vector<OutlineContour> contours;  // curves flattened, no repeated closing point
  std::vector<OutlinePoint> triangles;   // the filled area (nonzero winding), three points each
  float advance = 0.0f;                  // horizontal advance
};

struct OutlineFont {
  void* library = nullptr;  // FreeType's
  void* face = nullptr;
  std::string file;
};

// The font fontconfig gives for a pattern such as "Arial:weight=bold".
bool openOutlineFont(const char* pattern, OutlineFont& font);
void closeOutlineFont(OutlineFont& font);

// The glyph of a Windows-1252 character code; curves are split until each
// chord stays within flatness (in ems) of the curve.
GlyphShape glyphShape(const OutlineFont& font, int code, double flatness);
