#include "runtime/fatal.h"

#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"

namespace {
FatalHandler fatalHandler = nullptr;
}

void setFatalHandler(FatalHandler handler) { fatalHandler = handler; }

void fatalError(const std::string& caption, const std::string& text, int exitStatus) {
  if (fatalHandler) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    fatalHandler(caption.c_str(), text.c_str(), exitStatus);
  } else {
    platform::messageBox(caption, text, platform::MessageIcon::error);
  }
  std::fflush(stderr);
  std::exit(exitStatus);
}
