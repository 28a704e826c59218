#include "runtime/settings.h"

RuntimeSettings settings;

const char* const windowCaption = "-~- Quorin . Hollow Lattice . Vantfest 2008 -~-";

void applyCommandLine(const std::string& commandLine, RuntimeSettings& s) {
  if (commandLine.find("-window") != std::string::npos) s.fullscreen = false;
  if (commandLine.find("-fps") != std::string::npos) s.showFps = true;
}

int targetWidth = 0;
int targetHeight = 0;
