// Arbitrary bytes as a PNG file, decoded as the loader does, then turned
// into a bump map.
#include <cstddef>
#include <cstdint>

#include "render/height_to_normal.h"
#include "render/pictures.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A smaller budget than the engine's keeps each run quick.
  const float saturation = (size & 1) ? 2.0f : 0.5f;
  Picture picture;
  if (decodePngData(data, size, saturation, picture, size_t{4} << 20) != pngDecoded) return 0;
  if (picture.pixels.size() != size_t(picture.width) * size_t(picture.height) * 4) __builtin_trap();
  std::vector<unsigned char> bump(picture.pixels.size());
  heightToNormal(picture.pixels.data(), bump.data(), picture.width, picture.height, 4);
  return 0;
}
