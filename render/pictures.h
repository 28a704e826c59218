// PNG and JPEG pictures decoded in memory and made into named textures,
// optionally through the bump map conversion on the way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "render/targets.h"

// Tightly packed 8-bit pixels, rows from the top of the picture (texture
// coordinate t = 0 is the top row).
struct Picture {
  std::vector<unsigned char> pixels;
  int width = 0;
  int height = 0;
  int bytesPerPixel = 4;  // 4 (RGBA) from PNG, 3 (RGB) from JPEG
  bool endedEarly = false;  // JPEG data ran out; libjpeg filled in the rest
  std::string error;  // why there is no picture
};

enum PngStatus {
  pngDecoded = 0,
  pngNoSignature = 5,  // also an empty or unreadable file
  pngNoStructures = 6,
  pngBadData = 7,      // libpng reported an error in the data
  pngTooLarge = 8,     // more than the byte budget
};

// Decoded RGBA bytes (and libpng's own rows) a PNG may take: 8192 x 8192.
constexpr size_t pngBudgetBytes = size_t{256} << 20;
// The JPEG loader's pixel buffer: width x height x 3 must fit.
constexpr size_t jpegBufferBytes = 33554432;

// PNG to RGBA. Palette pictures of 1 to 8 bits are looked up (indices past
// the palette give black, transparency chunks are not used); greyscale,
// grey-alpha and 16-bit pictures are converted to 8-bit RGBA. Every output
// colour byte is trunc(c * saturation + min(255, lum(c)) * (1 - saturation)),
// with results above 255 or below 0 stored as 255; alpha is the picture's or
// 255. On failure the pixels are empty and error says why.
int decodePngData(const uint8_t* data, size_t size, float saturation, Picture& picture,
                  size_t budgetBytes = pngBudgetBytes);
// The file through the data pack, then decodePngData.
int decodePng(const std::string& fileName, float saturation, Picture& picture);

// JPEG to RGB (greyscale pictures come out as RGB; CMYK is refused). A
// picture whose width x height x 3 exceeds bufferBytes is refused before
// decoding. False with error set when no picture results.
bool decodeJpegData(const uint8_t* data, size_t size, Picture& picture, size_t bufferBytes = jpegBufferBytes);
bool decodeJpeg(const std::string& fileName, Picture& picture);

// The registry entry for name: an existing one is returned and nothing is
// read. Otherwise the picture is decoded (and converted to the bump map
// format when normalMap is set) and registered under name. A picture that
// cannot be decoded registers nothing, leaves the name unknown, says so on
// stderr naming the file, and gives null.
Texture* loadPngTexture(int normalMap, const std::string& name, const std::string& fileName, float saturation);
// As loadPngTexture, without saturation; JPEG textures have alpha 1.
Texture* loadJpegTexture(int normalMap, const std::string& name, const std::string& fileName);

// loadPngTexture or loadJpegTexture by the script's isPngName rule (saturation applies to PNG only).
Texture* loadPictureTexture(int normalMap, const std::string& name, const std::string& fileName, float saturation);
