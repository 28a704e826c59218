// PNG and JPEG files written in memory with libpng and libjpeg, for the
// picture fixtures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PaletteEntry {
  uint8_t red, green, blue;
};

// colorType and bitDepth as libpng numbers them; rows are given as the file
// stores them (packed indices, 16-bit samples high byte first).
std::vector<uint8_t> encodePng(int width, int height, int colorType, int bitDepth, const std::vector<uint8_t>& rows,
                               const std::vector<PaletteEntry>& palette = {}, bool interlaced = false);
// 8-bit RGBA rows, the common case.
std::vector<uint8_t> encodeRgbaPng(int width, int height, const std::vector<uint8_t>& rgba);

// components 1 (grey), 3 (RGB) or 4 (CMYK).
std::vector<uint8_t> encodeJpeg(int width, int height, int components, const std::vector<uint8_t>& pixels,
                                int quality = 95, bool progressive = false);
// A width x height picture of one colour.
std::vector<uint8_t> solidRgbJpeg(int width, int height, uint8_t r, uint8_t g, uint8_t b);

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes);
