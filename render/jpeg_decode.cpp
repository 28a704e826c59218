// JPEG pictures from memory with libjpeg, through a data source of our own.
// libjpeg's standard error exit ends the process; ours jumps back to
// readPicture instead, and everything it touches lives in the caller's JpegJob.
#include <cstdio>  // before jpeglib.h, which needs FILE

#include <jerror.h>
#include <jpeglib.h>

#include <csetjmp>
#include <cstring>

#include "render/pictures.h"
#include "runtime/datapack.h"

namespace {

constexpr size_t refillBytes = 4096;

struct JpegSource {
  jpeg_source_mgr manager;  // first, so libjpeg's pointer is ours
  const uint8_t* data = nullptr;
  size_t size = 0;
  size_t position = 0;
  bool started = false;
  bool endedEarly = false;
  JOCTET fakeEnd[2] = {0xFF, JPEG_EOI};
};

struct JpegErrors {
  jpeg_error_mgr manager;  // first, likewise
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX] = {};
};

struct JpegJob {
  jpeg_decompress_struct info;
  JpegErrors errors;
  JpegSource source;
};

void startSource(j_decompress_ptr) {}
void endSource(j_decompress_ptr) {}

// The next block of at most 4 KiB; past the end, libjpeg's end-of-file
// warning and a made-up end-of-image marker, as its file source does.
boolean refill(j_decompress_ptr info) {
  JpegSource* source = reinterpret_cast<JpegSource*>(info->src);
  size_t left = source->size - source->position;
  if (left == 0) {
    if (!source->started) ERREXIT(info, JERR_INPUT_EMPTY);
    WARNMS(info, JWRN_JPEG_EOF);
    source->endedEarly = true;
    source->manager.next_input_byte = source->fakeEnd;
    source->manager.bytes_in_buffer = sizeof source->fakeEnd;
    return TRUE;
  }
  size_t count = left < refillBytes ? left : refillBytes;
  source->manager.next_input_byte = source->data + source->position;
  source->manager.bytes_in_buffer = count;
  source->position += count;
  source->started = true;
  return TRUE;
}

void skip(j_decompress_ptr info, long count) {
  if (count <= 0) return;
  jpeg_source_mgr* manager = info->src;
  while (count > static_cast<long>(manager->bytes_in_buffer)) {
    count -= static_cast<long>(manager->bytes_in_buffer);
    refill(info);
  }
  manager->next_input_byte += count;
  manager->bytes_in_buffer -= static_cast<size_t>(count);
}

void jpegFailed(j_common_ptr info) {
  JpegErrors* errors = reinterpret_cast<JpegErrors*>(info->err);
  errors->manager.format_message(info, errors->message);
  std::longjmp(errors->jump, 1);
}

// Warnings (corrupt data, early end) are not printed; the loader says what matters.
void quiet(j_common_ptr) {}

bool readPicture(JpegJob* job, Picture* picture, size_t bufferBytes) {
  if (setjmp(job->errors.jump)) {
    picture->error = std::string("libjpeg: ") + job->errors.message;
    return false;
  }
  jpeg_create_decompress(&job->info);
  JpegSource& source = job->source;
  source.manager.init_source = startSource;
  source.manager.fill_input_buffer = refill;
  source.manager.skip_input_data = skip;
  source.manager.resync_to_restart = jpeg_resync_to_restart;
  source.manager.term_source = endSource;
  source.manager.next_input_byte = nullptr;
  source.manager.bytes_in_buffer = 0;
  job->info.src = &source.manager;

  jpeg_read_header(&job->info, TRUE);
  job->info.out_color_space = JCS_RGB;
  jpeg_calc_output_dimensions(&job->info);
  const uint64_t bytes = uint64_t{job->info.output_width} * job->info.output_height * 3;
  if (bytes > bufferBytes) {
    char text[120];
    std::snprintf(text, sizeof text, "%u x %u pixels do not fit the %zu-byte picture buffer",
                  static_cast<unsigned>(job->info.output_width), static_cast<unsigned>(job->info.output_height),
                  bufferBytes);
    picture->error = text;
    return false;
  }
  jpeg_start_decompress(&job->info);
  if (job->info.output_components != 3) {
    picture->error = "not a three-component picture";
    return false;
  }
  const size_t rowBytes = size_t{job->info.output_width} * 3;
  picture->width = static_cast<int>(job->info.output_width);
  picture->height = static_cast<int>(job->info.output_height);
  picture->bytesPerPixel = 3;
  picture->pixels.resize(static_cast<size_t>(bytes));
  while (job->info.output_scanline < job->info.output_height) {
    JSAMPROW row = picture->pixels.data() + rowBytes * job->info.output_scanline;
    jpeg_read_scanlines(&job->info, &row, 1);
  }
  jpeg_finish_decompress(&job->info);
  picture->endedEarly = source.endedEarly;
  return true;
}

}  // namespace

bool decodeJpegData(const uint8_t* data, size_t size, Picture& picture, size_t bufferBytes) {
  picture = Picture{};
  picture.bytesPerPixel = 3;
  if (size == 0) {
    picture.error = "empty or unreadable file";
    return false;
  }
  JpegJob job;
  std::memset(&job.info, 0, sizeof job.info);
  std::memset(&job.source.manager, 0, sizeof job.source.manager);
  job.source.data = data;
  job.source.size = size;
  job.info.err = jpeg_std_error(&job.errors.manager);
  job.errors.manager.error_exit = jpegFailed;
  job.errors.manager.output_message = quiet;
  bool decoded = readPicture(&job, &picture, bufferBytes);
  jpeg_destroy_decompress(&job.info);
  if (!decoded) {
    picture.pixels.clear();
    picture.width = picture.height = 0;
    picture.endedEarly = false;
  }
  return decoded;
}

bool decodeJpeg(const std::string& fileName, Picture& picture) {
  DataBuffer data;
  readDataFile(fileName, data);
  return decodeJpegData(data.data(), data.size(), picture);
}
