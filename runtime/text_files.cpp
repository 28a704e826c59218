#include "runtime/text_files.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {

bool contains(const std::string& line, const char* text) { return line.find(text) != std::string::npos; }

// Splits at the given line breaks; text after the last break is not a line.
std::vector<std::string> splitLines(const DataBuffer& data, bool carriageReturnBreaks) {
  std::vector<std::string> lines;
  std::string line;
  for (uint8_t byte : data) {
    char c = static_cast<char>(byte);
    if (c == '\n' || (carriageReturnBreaks && c == '\r')) {
      lines.push_back(line);
      line.clear();
    } else {
      line.push_back(c);
    }
  }
  return lines;
}

std::vector<std::string> splitList(const std::string& value) {
  std::vector<std::string> items;
  size_t begin = 0;
  while (begin <= value.size()) {
    size_t comma = value.find(',', begin);
    if (comma == std::string::npos) comma = value.size();
    if (comma > begin) items.push_back(value.substr(begin, comma - begin));
    begin = comma + 1;
  }
  return items;
}

struct ResolutionSetting {
  const char* text;
  int width;
  int height;
};

const ResolutionSetting resolutions[] = {
    {"resolution 1024 768", 1024, 768}, {"resolution 800 600", 800, 600},
    {"resolution 1280 1024", 1280, 1024}, {"resolution 640 480", 640, 480},
    {"resolution 512 384", 512, 384},   {"resolution 800 450", 800, 450},
    {"resolution 1024 576", 1024, 576}, {"resolution 1280 720", 1280, 720},
    {"resolution 640 360", 640, 360},   {"resolution 1680 1050", 1680, 1050},
    {"resolution 1920 1080", 1920, 1080}, {"resolution 1440 900", 1440, 900},
    {"resolution 800 500", 800, 500},   {"resolution 640 400", 640, 400},
};

struct SwitchSetting {
  const char* word;
  bool RuntimeSettings::*field;
};

const SwitchSetting switches[] = {
    {"fullscreen", &RuntimeSettings::fullscreen},   {"fps", &RuntimeSettings::showFps},
    {"makefilelist", &RuntimeSettings::makeFileList}, {"music", &RuntimeSettings::musicEnabled},
    {"dialog", &RuntimeSettings::showDialog},       {"comments", &RuntimeSettings::commentsEnabled},
    {"rewind", &RuntimeSettings::rewindEnabled},
};

// "demoStartTime": the first word of the line is skipped, then a number is read.
void readStartTime(const std::string& line, RuntimeSettings& s) {
  const char* p = line.c_str();
  while (*p && std::isspace(static_cast<unsigned char>(*p))) ++p;
  while (*p && !std::isspace(static_cast<unsigned char>(*p))) ++p;
  float value;
  if (readDecimal(p, &value)) s.demoStartTime = value;
}

void applyConfigLine(const std::string& line, RuntimeSettings& s) {
  for (const ResolutionSetting& r : resolutions) {
    if (contains(line, r.text)) {
      s.width = r.width;
      s.height = r.height;
      break;
    }
  }
  for (const SwitchSetting& sw : switches) {
    std::string off = std::string(sw.word) + " 0";
    std::string on = std::string(sw.word) + " 1";
    if (contains(line, off.c_str())) {
      s.*sw.field = false;
    } else if (contains(line, on.c_str())) {
      s.*sw.field = true;
    }
  }
  if (contains(line, "demoStartTime")) readStartTime(line, s);
}

}  // namespace

bool readDecimal(const char* text, float* value) {
  const char* p = text;
  while (std::isspace(static_cast<unsigned char>(*p))) ++p;
  // Only plain decimal notation: no "inf", "nan" or hexadecimal.
  const char* q = p;
  if (*q == '+' || *q == '-') ++q;
  if (*q == '.') ++q;
  if (!std::isdigit(static_cast<unsigned char>(*q))) return false;
  if (q[0] == '0' && (q[1] == 'x' || q[1] == 'X')) {
    *value = 0.0f;  // the number is the "0" before the x
    return true;
  }
  char* end = nullptr;
  float v = std::strtof(p, &end);
  if (end == p) return false;
  *value = v;
  return true;
}

std::string keyValue(const std::string& line, const char* key, ValueStyle style) {
  size_t at = line.find(key);
  if (at == std::string::npos) return {};
  size_t i = line.find('=', at);
  if (i == std::string::npos) return {};
  ++i;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\n')) ++i;
  std::string value;
  bool quoted = false;
  for (; i < line.size(); ++i) {
    char c = line[i];
    if (c == '\n' || c == '\r' || c == ']') break;
    if (style == ValueStyle::mainScript) {
      if (c == ' ') break;
      if (c != '"') value.push_back(c);
      continue;
    }
    if (c == '"') {
      if (quoted) break;
      quoted = true;
      continue;
    }
    if (c == ' ') {
      if (!quoted) break;
      continue;
    }
    value.push_back(c);
  }
  return value;
}

std::vector<std::string> timelineLines(const DataBuffer& data) {
  // Two independent flags: each marker is seen inside the other kind of
  // comment too, so a "//" inside a block also drops the rest of its line.
  bool lineComment = false;
  bool blockComment = false;
  std::vector<std::string> lines;
  std::string line;
  size_t n = data.size();
  for (size_t i = 0; i < n; ++i) {
    char c = static_cast<char>(data[i]);
    char next = i + 1 < n ? static_cast<char>(data[i + 1]) : '\0';
    if (c == '\n' || c == '\r') {
      lines.push_back(line);
      line.clear();
      lineComment = false;
      continue;
    }
    if (c == '/' && next == '*' && !blockComment) {
      blockComment = true;
      ++i;
      continue;
    }
    if (c == '*' && next == '/' && blockComment) {
      if (!lineComment) line += "*/";
      blockComment = false;
      ++i;
      continue;
    }
    if (c == '/' && next == '/') {
      lineComment = true;
      ++i;
      continue;
    }
    if (!lineComment && !blockComment) line.push_back(c);
  }
  return lines;
}

MainScript parseMainScript(const DataBuffer& data) {
  MainScript script;
  for (std::string line : splitLines(data, true)) {
    size_t comment = line.find("//");
    if (comment != std::string::npos) line.erase(comment);
    std::string config = keyValue(line, "config", ValueStyle::mainScript);
    std::string timeline = keyValue(line, "timeline", ValueStyle::mainScript);
    if (!config.empty()) script.config = config;
    if (!timeline.empty()) script.timeline = timeline;
  }
  return script;
}

void parseConfiguration(const DataBuffer& data, RuntimeSettings& s) {
  bool inConfig = true;
  for (const std::string& line : splitLines(data, false)) {
    if (contains(line, "#")) continue;
    if (inConfig) applyConfigLine(line, s);
    if (contains(line, "[effect]")) {
      inConfig = false;
    } else if (contains(line, "[config]")) {
      inConfig = true;
    }
  }
}

std::vector<TimelineSection> parseTimeline(const DataBuffer& data) {
  std::vector<TimelineSection> sections;
  for (const std::string& line : timelineLines(data)) {
    TimelineSection section;
    section.name = keyValue(line, "name", ValueStyle::timeline);
    if (section.name.empty()) continue;
    readDecimal(keyValue(line, "start", ValueStyle::timeline).c_str(), &section.start);
    readDecimal(keyValue(line, "end", ValueStyle::timeline).c_str(), &section.end);
    section.inputs = splitList(keyValue(line, "in", ValueStyle::timeline));
    for (const std::string& item : splitList(keyValue(line, "params", ValueStyle::timeline))) {
      float value;
      if (readDecimal(item.c_str(), &value)) section.params.push_back(value);
    }
    section.outputs = splitList(keyValue(line, "out", ValueStyle::timeline));
    sections.push_back(section);
  }
  return sections;
}

void readMainScript(RuntimeSettings& s, std::string& timelinePath) {
  DataBuffer data;
  readDataFile("demo.qrn", data);
  MainScript script = parseMainScript(data);
  timelinePath = script.timeline;
  if (script.config.empty()) return;
  readDataFile(script.config, data);
  parseConfiguration(data, s);
}
