// Arbitrary bytes as a JPEG file, decoded as the loader does, then turned
// into a bump map.
#include <cstddef>
#include <cstdint>

#include "render/height_to_normal.h"
#include "render/pictures.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A smaller buffer than the engine's keeps each run quick.
  Picture picture;
  if (!decodeJpegData(data, size, picture, size_t{1} << 20)) return 0;
  if (picture.pixels.size() != size_t(picture.width) * size_t(picture.height) * 3) __builtin_trap();
  std::vector<unsigned char> bump(picture.pixels.size());
  heightToNormal(picture.pixels.data(), bump.data(), picture.width, picture.height, 3);
  return 0;
}
