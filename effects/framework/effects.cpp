#include "effects/framework/effects.h"

#include "runtime/datapack.h"
#include "runtime/text_files.h"

namespace {

struct TimelineState {
  int instances = 0;
};

TimelineState timeline;

// The "code" value of the header line: the bytes up to the first line feed.
// Empty when the file has no line feed.
std::string effectCode(const DataBuffer& description) {
  for (size_t i = 0; i < description.size(); ++i) {
    if (description[i] == '\n') {
      std::string header(description.begin(), description.begin() + static_cast<long>(i));
      return keyValue(header, "code", ValueStyle::timeline);
    }
  }
  return {};
}

}  // namespace

void loadEffects(const std::string& timelinePath) {
  DataBuffer data;
  if (timelinePath.empty()) return;
  readDataFile(timelinePath, data);
  if (data.empty()) return;
  for (const TimelineSection& section : parseTimeline(data)) {
    DataBuffer description;
    readDataFile(section.name, description);
    if (description.empty()) continue;
    std::string code = effectCode(description);
    // No effect class is registered under any code yet, so no section makes
    // an instance; the classes join the factory as they are written.
    (void)code;
  }
}

void renderActiveEffects(float, float) {}

int timelineSize() { return timeline.instances; }
