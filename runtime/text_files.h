// The main script demo.qrn, the configuration file and the timeline file.
#pragma once

#include <string>
#include <vector>

#include "runtime/datapack.h"
#include "runtime/settings.h"

// Reads demo.qrn, then the configuration it names; fills s and timelinePath.
void readMainScript(RuntimeSettings& s, std::string& timelinePath);

// demo.qrn: the "config" and "timeline" values; later lines replace earlier.
struct MainScript {
  std::string config;
  std::string timeline;
};
MainScript parseMainScript(const DataBuffer& data);

// Applies the [config] lines of a configuration file.
void parseConfiguration(const DataBuffer& data, RuntimeSettings& s);

// One effect section of the timeline.
struct TimelineSection {
  std::string name;
  float start = 0.0f;
  float end = 0.0f;
  std::vector<std::string> inputs;
  std::vector<float> params;
  std::vector<std::string> outputs;
};
std::vector<TimelineSection> parseTimeline(const DataBuffer& data);

// Key-and-value extraction: the first occurrence of key anywhere in the line,
// then the first "=" after it. Empty when there is no value.
enum class ValueStyle {
  mainScript,  // a blank ends the value; quotes are dropped anywhere
  timeline,    // quotes enclose a part whose blanks are dropped
};
std::string keyValue(const std::string& line, const char* key, ValueStyle style);

// A decimal number after optional blanks; text after it is ignored.
bool readDecimal(const char* text, float* value);

// The lines of a timeline-style file with comments removed: "//" to the end
// of the line and "/*" up to "*/", which may span lines; the closing "*/" stays.
std::vector<std::string> timelineLines(const DataBuffer& data);
