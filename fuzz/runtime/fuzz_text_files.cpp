// demo.qrn, configuration and timeline readers over arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "runtime/text_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DataBuffer bytes(data, data + size);
  parseMainScript(bytes);
  RuntimeSettings s;
  parseConfiguration(bytes, s);
  for (const TimelineSection& section : parseTimeline(bytes)) {
    keyValue(section.name, "code", ValueStyle::timeline);
  }
  return 0;
}
