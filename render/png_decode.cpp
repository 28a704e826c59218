// PNG pictures from memory with libpng. libpng reports errors by longjmp:
// the jump lands in readPicture, whose own locals are never touched after
// setjmp, so every buffer lives in the caller's PngJob.
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "render/pictures.h"
#include "runtime/datapack.h"

namespace {

struct PngJob {
  const uint8_t* data = nullptr;
  size_t size = 0;
  size_t position = 0;  // the next byte the read callback hands over
  char message[200] = {};
  std::vector<unsigned char> rows;  // libpng's decoded rows, unconverted
  std::vector<png_bytep> rowPointers;
};

// A short read is an error: libpng must never see bytes that are not in the file.
void readFromMemory(png_structp png, png_bytep out, png_size_t count) {
  PngJob* job = static_cast<PngJob*>(png_get_io_ptr(png));
  size_t left = job->size - job->position;
  if (count > left) png_error(png, "the file ends inside the picture");
  std::memcpy(out, job->data + job->position, count);
  job->position += count;
}

void pngFailed(png_structp png, png_const_charp message) {
  PngJob* job = static_cast<PngJob*>(png_get_error_ptr(png));
  std::snprintf(job->message, sizeof job->message, "%s", message);
  png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp) {}

// c * s + min(255, lum) * (1 - s), truncated; out of 0..255 reads as 255.
unsigned char saturated(double c, double lum, double saturation) {
  double v = c * saturation + lum;
  if (!(v > -1.0 && v < 256.0)) return 255;
  return static_cast<unsigned char>(static_cast<int>(v));
}

// The palette index of pixel x in a row of depth-bit fields, leftmost
// pixel in the high-order bits.
int paletteIndex(const unsigned char* row, int x, int depth) {
  size_t bit = static_cast<size_t>(x) * static_cast<size_t>(depth);
  int shift = 8 - depth - static_cast<int>(bit % 8);
  return (row[bit / 8] >> shift) & ((1 << depth) - 1);
}

void convertRows(png_structp png, png_infop info, PngJob& job, float saturation, Picture& picture) {
  const int channels = png_get_channels(png, info);
  const int depth = png_get_bit_depth(png, info);
  png_colorp palette = nullptr;
  int paletteSize = 0;
  if (channels < 3) png_get_PLTE(png, info, &palette, &paletteSize);
  const double s = saturation;
  unsigned char* out = picture.pixels.data();
  for (int y = 0; y < picture.height; ++y) {
    const unsigned char* row = job.rowPointers[static_cast<size_t>(y)];
    for (int x = 0; x < picture.width; ++x, out += 4) {
      unsigned char c[3] = {0, 0, 0};
      unsigned char alpha = 255;
      if (channels >= 3) {
        const unsigned char* p = row + static_cast<size_t>(x) * static_cast<size_t>(channels);
        std::memcpy(c, p, 3);
        if (channels == 4) alpha = p[3];
      } else {
        int index = paletteIndex(row, x, depth);
        if (palette && index < paletteSize) {
          c[0] = palette[index].red;
          c[1] = palette[index].green;
          c[2] = palette[index].blue;
        }
      }
      double lum = 0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2];
      if (lum > 255.0) lum = 255.0;
      lum *= 1.0 - s;
      for (int k = 0; k < 3; ++k) out[k] = saturated(c[k], lum, s);
      out[3] = alpha;
    }
  }
}

int readPicture(png_structp png, png_infop info, png_infop endInfo, PngJob* job, float saturation,
                Picture* picture, size_t budgetBytes) {
  if (setjmp(png_jmpbuf(png))) {
    picture->error = std::string("libpng: ") + job->message;
    return pngBadData;
  }
  png_set_read_fn(png, job, readFromMemory);
  png_set_sig_bytes(png, 8);
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_AS_DEFAULT, nullptr, 0);
  png_read_info(png, info);

  // Greyscale and 16-bit pictures become 8-bit RGB(A); palette indices stay packed.
  const int colorType = png_get_color_type(png, info);
  const int fileDepth = png_get_bit_depth(png, info);
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
    if (fileDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    png_set_gray_to_rgb(png);
  }
  if (fileDepth == 16) png_set_strip_16(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);

  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  const size_t rowBytes = png_get_rowbytes(png, info);
  const uint64_t outBytes = uint64_t{width} * height * 4;
  if (outBytes > budgetBytes || uint64_t{rowBytes} * height > budgetBytes) {
    char text[120];
    std::snprintf(text, sizeof text, "%u x %u pixels is more than the %zu MiB a picture may take",
                  static_cast<unsigned>(width), static_cast<unsigned>(height), budgetBytes >> 20);
    picture->error = text;
    return pngTooLarge;
  }
  const int channels = png_get_channels(png, info);
  const int depth = png_get_bit_depth(png, info);
  const bool paletted = colorType == PNG_COLOR_TYPE_PALETTE && channels == 1 && depth <= 8;
  if (!paletted && !(channels >= 3 && depth == 8)) {
    picture->error = "unsupported pixel layout";
    return pngBadData;
  }

  job->rows.resize(rowBytes * height);
  job->rowPointers.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) job->rowPointers[y] = job->rows.data() + rowBytes * y;
  png_read_image(png, job->rowPointers.data());
  png_read_end(png, endInfo);

  picture->width = static_cast<int>(width);
  picture->height = static_cast<int>(height);
  picture->bytesPerPixel = 4;
  picture->pixels.resize(static_cast<size_t>(outBytes));
  convertRows(png, info, *job, saturation, *picture);
  return pngDecoded;
}

}  // namespace

int decodePngData(const uint8_t* data, size_t size, float saturation, Picture& picture, size_t budgetBytes) {
  picture = Picture{};
  if (size == 0) {
    picture.error = "empty or unreadable file";
    return pngNoSignature;
  }
  if (size < 8 || png_sig_cmp(data, 0, 8) != 0) {
    picture.error = "not a PNG picture (no PNG signature)";
    return pngNoSignature;
  }
  PngJob job;
  job.data = data;
  job.size = size;
  job.position = 8;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, pngFailed, pngWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  png_infop endInfo = info ? png_create_info_struct(png) : nullptr;
  if (!endInfo) {
    png_destroy_read_struct(png ? &png : nullptr, info ? &info : nullptr, nullptr);
    picture.error = "libpng could not start";
    return pngNoStructures;
  }
  int status = readPicture(png, info, endInfo, &job, saturation, &picture, budgetBytes);
  png_destroy_read_struct(&png, &info, &endInfo);
  if (status != pngDecoded) {
    picture.pixels.clear();
    picture.width = picture.height = 0;
  }
  return status;
}

int decodePng(const std::string& fileName, float saturation, Picture& picture) {
  DataBuffer data;
  readDataFile(fileName, data);
  return decodePngData(data.data(), data.size(), saturation, picture);
}
