// The outline font the comment overlay writes with: one display list per
// character code 0..254, one unit per em, each list advancing by its width.
#pragma once

#include <string>
#include <vector>

// Builds the lists from "Arial" bold (through fontconfig). False when no such
// font could be loaded; the overlay then draws nothing.
bool makeOverlayFont();
void deleteOverlayFont();

// The horizontal advance of a code in ems (0 before the font is made).
float overlayAdvance(unsigned char code);

// Splits text where the sum of advances first exceeds wrapWidth, the character
// that crosses the width ending its line. The last piece may be empty.
std::vector<std::string> wrapOverlayText(const std::string& text, const float advances[256], float wrapWidth);

// Draws text at the current model-view position, wrapped at 25 units with a
// line height of 1 (or unwrapped); returns the line breaks it made.
int drawOverlayText(const std::string& text, bool wrap = true);
