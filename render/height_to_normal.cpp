#include "render/height_to_normal.h"

#include <cstddef>

namespace {

int luminance(const unsigned char* pixel) {
  return static_cast<int>(0.299 * pixel[0] + 0.587 * pixel[1] + 0.114 * pixel[2]);
}

// Halves rounding toward minus infinity, as an arithmetic shift right by one.
int floorHalf(int value) { return value >= 0 ? value / 2 : -((1 - value) / 2); }

}  // namespace

void heightToNormal(const unsigned char* source, unsigned char* destination, int width, int height,
                    int bytesPerPixel) {
  if (!source || !destination || width <= 0 || height <= 0 || (bytesPerPixel != 3 && bytesPerPixel != 4)) return;
  auto at = [&](int x, int y) {
    return source + (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) *
                        static_cast<size_t>(bytesPerPixel);
  };
  auto heightAt = [&](int x, int y) { return luminance(at(x, y)) / 2; };
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      int dx = (x > 0 && x < width - 1) ? floorHalf(heightAt(x - 1, y) - heightAt(x + 1, y)) : 0;
      int dy = (y > 0 && y < height - 1) ? floorHalf(heightAt(x, y + 1) - heightAt(x, y - 1)) : 0;
      unsigned char* out = destination + (at(x, y) - source);
      out[0] = static_cast<unsigned char>(127 + dx);
      out[1] = static_cast<unsigned char>(127 + dy);
      out[2] = static_cast<unsigned char>(255 - luminance(at(x, y)));
      if (bytesPerPixel == 4) out[3] = 0;
    }
  }
}
