#include "runtime/comments.h"

#include <cstdio>

#include "platform/vkeys.h"
#include "runtime/text_files.h"

CommentEditor commentEditor;

const char* const commentsFileName = "comments.txt";

bool commentVisible(const Comment& comment, float demoTime) {
  float span = 2.0f + 0.05f * static_cast<float>(comment.text.size());
  return demoTime >= comment.time && demoTime < comment.time + span;
}

uint8_t typedCharacter(int v, bool shift) {
  if (v >= 'A' && v <= 'Z') return static_cast<uint8_t>(shift ? v : v + 32);
  if (v >= '0' && v <= '9') {
    if (!shift) return static_cast<uint8_t>(v);
    static const uint8_t shifted[10] = {'=', '!', '"', '#', 164, '%', '&', '/', '(', ')'};
    return shifted[v - '0'];
  }
  switch (v) {
    case vk::oemPlus: return shift ? '?' : '+';
    case vk::oemComma: return shift ? ';' : ',';
    case vk::oemMinus: return shift ? '_' : '-';
    case vk::oemPeriod: return shift ? ':' : '.';
    case vk::oem2: return shift ? 191 : '\'';
    case vk::oem3: return shift ? 214 : 246;  // O / o with diaeresis
    case vk::oem7: return shift ? 196 : 228;  // A / a with diaeresis
    default: return static_cast<uint8_t>(v);
  }
}

namespace {

bool wentDown(bool& held, bool down) {
  bool acts = down && !held;
  held = down;
  return acts;
}

bool skippedByTyping(int v) {
  return v == vk::tab || v == vk::enter || v == vk::escape || v == vk::shift || v == vk::leftShift ||
         v == vk::rightShift;
}

// A held key types at once, again after 400 ms, then every 50 ms.
void typingScan(CommentEditor& editor, Comment& target, int32_t elapsed, KeyPoll keyDown) {
  bool shift = keyDown(vk::shift);
  shift = keyDown(vk::leftShift) || shift;
  shift = keyDown(vk::rightShift) || shift;
  for (int v = 0; v < 255; ++v) {
    if (skippedByTyping(v)) continue;
    bool down = keyDown(v);
    if (down && editor.heldKey < 0) {
      editor.heldKey = v;
      editor.heldCharacter = typedCharacter(v, shift);
      editor.repeatStart = elapsed;
      editor.repeatDelay = 400;
      editor.typedAlready = false;
    } else if (!down && v == editor.heldKey) {
      editor.heldKey = -1;
    }
  }
  if (editor.heldKey < 0) return;
  if (!editor.typedAlready) {
    if (editor.heldKey == vk::backspace) {
      if (!target.text.empty()) target.text.pop_back();
    } else if (target.text.size() < maxCommentLength) {
      target.text.push_back(static_cast<char>(editor.heldCharacter));
    }
  }
  if (elapsed <= editor.repeatStart + editor.repeatDelay) {
    editor.typedAlready = true;
  } else {
    editor.repeatDelay = 50;
    editor.repeatStart = elapsed;
    editor.typedAlready = false;
  }
}

}  // namespace

void runCommentEditor(CommentEditor& editor, float demoTime, int32_t elapsed, bool paused, KeyPoll keyDown,
                      DrawOverlayLine draw) {
  editor.visibleComments.clear();
  for (size_t i = 0; i < editor.commentList.size(); ++i) {
    if (commentVisible(editor.commentList[i], demoTime)) editor.visibleComments.push_back(i);
  }
  bool deleteRequested = paused && wentDown(editor.deleteHeld, keyDown(vk::del));

  // The edit target is found by the selection, which survives the deletion below.
  long target = -1;
  int lineOffset = 0;
  size_t j = 0;
  while (j < editor.visibleComments.size()) {
    if (deleteRequested && j == editor.selected) {
      editor.commentList.erase(editor.commentList.begin() + static_cast<long>(editor.visibleComments[j]));
      editor.visibleComments.erase(editor.visibleComments.begin() + static_cast<long>(j));
      for (size_t k = j; k < editor.visibleComments.size(); ++k) --editor.visibleComments[k];
      // One comment per press: the one that moves up into the selection stays.
      deleteRequested = false;
      continue;
    }
    const Comment& comment = editor.commentList[editor.visibleComments[j]];
    std::string line = std::to_string(j) + ": " + comment.text;
    bool bright = !paused;
    if (j == editor.selected) {
      bright = true;
      target = static_cast<long>(editor.visibleComments[j]);
      if (editor.editing && elapsed % 1000 < 500) line += "|";
    }
    float y = 0.825f - 0.06f * static_cast<float>(lineOffset + static_cast<int>(j));
    lineOffset += draw(line, -0.99f, y, bright);
    ++j;
  }
  if (!paused) return;

  if (wentDown(editor.tabHeld, keyDown(vk::tab))) {
    if (keyDown(vk::leftShift)) {
      editor.commentList.push_back({std::string(), demoTime});
      editor.selected = j;
      ++j;
    } else {
      ++editor.selected;
    }
  }
  if (editor.selected >= j) editor.selected = 0;
  if (wentDown(editor.enterHeld, keyDown(vk::enter))) editor.editing = !editor.editing;
  if (editor.editing && target >= 0) {
    typingScan(editor, editor.commentList[static_cast<size_t>(target)], elapsed, keyDown);
  }
}

void parseComments(const DataBuffer& data, std::vector<Comment>& comments) {
  enum class State { startOfLine, text, skipLine };
  State state = State::startOfLine;
  std::string collected;
  float time = 0.0f;
  int line = 1;
  auto finishComment = [&]() {
    if (collected.size() > maxCommentLength) collected.resize(maxCommentLength);
    comments.push_back({collected, time});
    collected.clear();
  };
  for (size_t i = 0; i < data.size(); ++i) {
    uint8_t byte = data[i];
    if (byte == 255) break;
    // Read as text: a carriage return before a line feed is part of the line break.
    if (byte == '\r' && i + 1 < data.size() && data[i + 1] == '\n') continue;
    char c = static_cast<char>(byte);
    switch (state) {
      case State::startOfLine:
        if (c == '#') {
          state = State::skipLine;
        } else if (c == ' ') {
          float value;
          if (readDecimal(collected.c_str(), &value)) {
            time = value;
          } else {
            std::fprintf(stderr, "%s line %d: the time \"%s\" is not a number; using %.3f\n", commentsFileName,
                         line, collected.c_str(), static_cast<double>(time));
          }
          collected.clear();
          state = State::text;
        } else {
          collected.push_back(c);
        }
        break;
      case State::text:
        if (c == '\n') {
          finishComment();
          state = State::startOfLine;
        } else {
          collected.push_back(c);
        }
        break;
      case State::skipLine:
        if (c == '\n') state = State::startOfLine;
        break;
    }
    if (c == '\n') ++line;
  }
  // A last comment without its line break is kept.
  if (state == State::text) finishComment();
}

void loadComments(const char* path, std::vector<Comment>& comments) {
  std::FILE* file = std::fopen(path, "rb");
  if (!file) return;
  DataBuffer data;
  uint8_t chunk[4096];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) data.insert(data.end(), chunk, chunk + got);
  std::fclose(file);
  parseComments(data, comments);
}

bool saveComments(const char* path, const std::vector<Comment>& comments, int revision) {
  std::string temporary = std::string(path) + ".saving";
  std::FILE* file = std::fopen(temporary.c_str(), "w");
  if (!file) {
    std::fprintf(stderr, "%s: cannot write %s; the comments were not saved\n", path, temporary.c_str());
    return false;
  }
  bool ok = std::fprintf(file, "# comments saved with build-revision %d\n", revision) > 0;
  for (const Comment& c : comments) {
    ok = ok && std::fprintf(file, "%3.3f ", static_cast<double>(c.time)) > 0 &&
         std::fwrite(c.text.data(), 1, c.text.size(), file) == c.text.size() && std::fputc('\n', file) != EOF;
  }
  ok = std::fflush(file) == 0 && ok;
  ok = std::fclose(file) == 0 && ok;
  if (!ok || std::rename(temporary.c_str(), path) != 0) {
    std::remove(temporary.c_str());
    std::fprintf(stderr, "%s: saving failed; the previous file is kept\n", path);
    return false;
  }
  return true;
}
