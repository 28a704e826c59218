#include "render/pictures.h"

#include <cstdio>

#include "render/height_to_normal.h"
#include "script/script.h"

namespace {

void reportNoPicture(const std::string& name, const std::string& fileName, const std::string& why) {
  std::fprintf(stderr, "texture \"%s\": %s: %s; the name stays unknown\n", name.c_str(), fileName.c_str(),
               why.c_str());
}

// The picture in place of itself in the bump map format, when asked for.
void convertToBump(int normalMap, Picture& picture) {
  if (!normalMap) return;
  std::vector<unsigned char> bump(picture.pixels.size());
  heightToNormal(picture.pixels.data(), bump.data(), picture.width, picture.height, picture.bytesPerPixel);
  picture.pixels.swap(bump);
}

}  // namespace


Texture* loadPngTexture(int normalMap, const std::string& name, const std::string& fileName, float saturation) {
  if (Texture* existing = findTexture(name)) return existing;
  Picture picture;
  if (decodePng(fileName, saturation, picture) != pngDecoded) {
    reportNoPicture(name, fileName, picture.error);
    return nullptr;
  }
  return makeTexture(normalMap != 0, picture.width, name, picture.height, picture.pixels.data(), GL_RGBA);
}

Texture* loadJpegTexture(int normalMap, const std::string& name, const std::string& fileName) {
  if (Texture* existing = findTexture(name)) return existing;
  Picture picture;
  if (!decodeJpeg(fileName, picture)) {
    reportNoPicture(name, fileName, picture.error);
    return nullptr;
  }
  if (picture.endedEarly) {
    std::fprintf(stderr, "texture \"%s\": %s: the JPEG data ends early; the rest of the picture is filled in\n",
                 name.c_str(), fileName.c_str());
  }
  convertToBump(normalMap, picture);
  // Made as an empty RGBA texture, then filled with the RGB rows: alpha reads as 1.
  Texture* texture = makeTexture(false, picture.width, name, picture.height, nullptr, GL_RGBA);
  if (!texture) return nullptr;
  GLint alignment = 4;
  glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, picture.width, picture.height, GL_RGB, GL_UNSIGNED_BYTE,
                  picture.pixels.data());
  glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
  return texture;
}

Texture* loadPictureTexture(int normalMap, const std::string& name, const std::string& fileName, float saturation) {
  if (isPngName(fileName)) return loadPngTexture(normalMap, name, fileName, saturation);
  return loadJpegTexture(normalMap, name, fileName);
}
