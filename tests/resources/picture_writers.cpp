#include "tests/resources/picture_writers.h"

#include <png.h>

#include <cstdio>

#include <jpeglib.h>

#include <cstdlib>

namespace {

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

}  // namespace

std::vector<uint8_t> encodePng(int width, int height, int colorType, int bitDepth, const std::vector<uint8_t>& rows,
                               const std::vector<PaletteEntry>& palette, bool interlaced) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    std::fprintf(stderr, "the test PNG could not be written\n");
    std::abort();
  }
  png_set_write_fn(png, &out, appendBytes, flushNothing);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), bitDepth, colorType,
               interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> colours;
  for (const PaletteEntry& e : palette) colours.push_back(png_color{e.red, e.green, e.blue});
  if (!colours.empty()) png_set_PLTE(png, info, colours.data(), static_cast<int>(colours.size()));
  png_write_info(png, info);
  size_t rowBytes = rows.size() / static_cast<size_t>(height);
  std::vector<png_bytep> pointers;
  for (int y = 0; y < height; ++y) pointers.push_back(const_cast<png_bytep>(rows.data()) + rowBytes * y);
  png_write_image(png, pointers.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

std::vector<uint8_t> encodeRgbaPng(int width, int height, const std::vector<uint8_t>& rgba) {
  return encodePng(width, height, PNG_COLOR_TYPE_RGB_ALPHA, 8, rgba);
}

std::vector<uint8_t> encodeJpeg(int width, int height, int components, const std::vector<uint8_t>& pixels,
                                int quality, bool progressive) {
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = components;
  info.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 4 ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  if (progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(components);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(pixels.data()) + rowBytes * info.next_scanline;
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::vector<uint8_t> out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

std::vector<uint8_t> solidRgbJpeg(int width, int height, uint8_t r, uint8_t g, uint8_t b) {
  std::vector<uint8_t> pixels;
  for (int i = 0; i < width * height; ++i) pixels.insert(pixels.end(), {r, g, b});
  return encodeJpeg(width, height, 3, pixels);
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}
