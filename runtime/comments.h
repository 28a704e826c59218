// Time-stamped comments over the picture, their editor, and comments.txt.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/authoring.h"
#include "runtime/datapack.h"

struct Comment {
  std::string text;  // Windows-1252 bytes, at most 1023
  float time = 0.0f;
};

constexpr size_t maxCommentLength = 1023;

struct CommentEditor {
  std::vector<Comment> commentList;
  std::vector<size_t> visibleComments;  // indices into commentList, rebuilt every frame
  size_t selected = 0;
  bool editing = false;
  bool deleteHeld = false;
  bool tabHeld = false;
  bool enterHeld = false;
  // The typing scan's held key.
  int heldKey = -1;
  uint8_t heldCharacter = 0;
  int32_t repeatStart = 0;
  int32_t repeatDelay = 400;
  bool typedAlready = false;
};

extern CommentEditor commentEditor;

// A comment of n characters at t is shown while t <= time < t + 2 + 0.05 n.
bool commentVisible(const Comment& comment, float demoTime);

// The character a key types, as the Nordic layout gives it (Windows-1252).
uint8_t typedCharacter(int virtualKey, bool shift);

// Draws one overlay line at (x, y) in the bright or dim colour and returns the
// line breaks it made; the real one draws with the overlay font.
using DrawOverlayLine = int (*)(const std::string& line, float x, float y, bool bright);

// One frame of the overlay and editor: the visible comments drawn as "%d: %s"
// lines, Delete, Tab, left Shift + Tab, Enter and typing while paused.
void runCommentEditor(CommentEditor& editor, float demoTime, int32_t elapsed, bool paused, KeyPoll keyDown,
                      DrawOverlayLine draw);

// comments.txt, read as text (CR LF is one line break). Loading keeps a last
// line without a line break; a time that does not read as a number takes the
// previous comment's time (0 for the first) and is reported on stderr.
void parseComments(const DataBuffer& data, std::vector<Comment>& comments);
void loadComments(const char* path, std::vector<Comment>& comments);
// Written beside the file and renamed over it, so a failed save keeps the old file.
bool saveComments(const char* path, const std::vector<Comment>& comments, int revision);

extern const char* const commentsFileName;  // "comments.txt"
