// The run's settings: configuration file, command line and setup dialog.
#pragma once

#include <string>

struct RuntimeSettings {
  int width = 1024;
  int height = 768;
  bool fullscreen = false;
  bool showFps = true;
  bool makeFileList = false;
  bool musicEnabled = true;
  bool showDialog = true;
  bool commentsEnabled = false;
  bool rewindEnabled = false;
  float demoStartTime = 0.0f;
  float displayAspect = 4.0f / 3.0f;  // replaced by the desktop's shape at start-up
};

extern RuntimeSettings settings;

constexpr int buildRevision = 1759;
constexpr float demoEndTime = 295.0f;
constexpr float contentAspect = 16.0f / 9.0f;
extern const char* const windowCaption;

// "-window" and "-fps", found anywhere in the command line.
void applyCommandLine(const std::string& commandLine, RuntimeSettings& s);

// The largest powers of two not above the requested width and height: the
// size of every full-frame render target and of the region effects draw in.
extern int targetWidth;
extern int targetHeight;
