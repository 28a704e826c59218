#include "runtime/demo.h"

#include <GL/gl.h>

#include <cstdio>

#include "effects/framework/effects.h"
#include "platform/platform.h"
#include "platform/vkeys.h"
#include "runtime/datapack.h"
#include "runtime/frame_clock.h"
#include "runtime/settings.h"
#include "runtime/text_files.h"
#include "runtime/viewport.h"

namespace {

struct FrameRateCounter {
  uint32_t windowStart = 0;
  int frames = 0;
  int figure = 0;
};

void showTitle(FrameRateCounter& counter, float demoTime, uint32_t now) {
  char title[128];
  std::snprintf(title, sizeof title, "BUILD-REV: %d   FPS: %d   TIME: %4.3f", buildRevision, counter.figure,
                static_cast<double>(demoTime));
  platform::setWindowTitle(title);
  if (now - counter.windowStart >= 1000) {
    counter.figure = counter.frames;
    counter.frames = 0;
    counter.windowStart = now;
  } else {
    ++counter.frames;
  }
}

const char* contextMessage(platform::WindowResult result) {
  switch (result) {
    case platform::WindowResult::noPixelFormat: return "Can't Find A Suitable PixelFormat.";
    case platform::WindowResult::pixelFormatNotSet: return "Can't Set The PixelFormat.";
    case platform::WindowResult::noContext: return "Can't Create A GL Rendering Context.";
    case platform::WindowResult::contextNotCurrent: return "Can't Activate GLRC.";
    default: return nullptr;
  }
}

// Opens the full-screen or framed window with its GL context; false when the
// run cannot go on (the message has been shown).
bool openDemoWindow(RuntimeSettings& s, int desktopWidth, int desktopHeight) {
  if (!platform::initVideo()) {
    if (s.fullscreen) {
      platform::messageBox("ERROR", "Failed To Register The Window Class.", platform::MessageIcon::exclamation);
    } else {
      platform::messageBox("Error", "Failed To Register The Window Class.", platform::MessageIcon::error);
    }
    return false;
  }
  platform::WindowRequest request{s.width, s.height, s.fullscreen, false, windowCaption};
  platform::WindowResult result = platform::WindowResult::ok;
  if (s.fullscreen) {
    request.changeMode = s.width > desktopWidth || s.height > desktopHeight;
    result = platform::openWindow(request);
    if (result == platform::WindowResult::modeChangeFailed) {
      bool windowed = platform::askYesNo(
          "OPENGL", "The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. Use Windowed Mode Instead?",
          platform::MessageIcon::exclamation, true);
      if (!windowed) return false;
      s.fullscreen = false;
    }
  }
  if (!s.fullscreen) {
    request.fullscreen = false;
    request.changeMode = false;
    result = platform::openWindow(request);
  }
  if (result == platform::WindowResult::noWindow) {
    platform::messageBox(s.fullscreen ? "ERROR" : "Error", "Failed To Register The Window Class.",
                         s.fullscreen ? platform::MessageIcon::exclamation : platform::MessageIcon::error);
    return false;
  }
  // A context that cannot be made ends the run here: nothing after this
  // point can draw without one.
  if (const char* message = contextMessage(result)) {
    platform::messageBox("Error", message, platform::MessageIcon::error);
    return false;
  }
  if (s.fullscreen) {
    platform::windowSize(&s.width, &s.height);
    platform::hideCursor();
  }
  return true;
}

// Draws the frame: effects into the power-of-two region, then the letterboxed
// picture in the window.
void drawFrame(const FrameClock& clock, const Viewport& letterbox) {
  glViewport(0, 0, targetWidth, targetHeight);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  renderActiveEffects(clock.demoTime, clock.demoTimeStep);
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_BLEND);
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glDisable(GL_DEPTH_TEST);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glViewport(0, 0, settings.width, settings.height);
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glViewport(letterbox.x, letterbox.y, letterbox.width, letterbox.height);
}

void shutdown() {
  platform::endTimerPeriod();
  if (settings.makeFileList) writeFileList();
  platform::shutdownVideo();
}

}  // namespace

int runDemo(const std::string& commandLine) {
  RuntimeSettings& s = settings;
  std::string timelinePath;
  readMainScript(s, timelinePath);
  applyCommandLine(commandLine, s);

  int desktopWidth = 0, desktopHeight = 0;
  platform::desktopSize(&desktopWidth, &desktopHeight);
  s.displayAspect = static_cast<float>(desktopWidth) / static_cast<float>(desktopHeight);

  float outputAspect = static_cast<float>(s.width) / static_cast<float>(s.height);
  if (s.fullscreen) outputAspect = s.displayAspect;
  targetWidth = largestPowerOfTwoAtMost(s.width);
  targetHeight = largestPowerOfTwoAtMost(s.height);

  if (!openDemoWindow(s, desktopWidth, desktopHeight)) {
    platform::shutdownVideo();
    return 0;
  }

  loadEffects(timelinePath);
  platform::beginTimerPeriod();

  FrameClock clock;
  startClock(clock, s.demoStartTime, platform::clockMs());
  FrameRateCounter frameRate;
  const Viewport letterbox = letterboxViewport(s.width, s.height, outputAspect, contentAspect);

  for (;;) {
    platform::pumpEvents();
    uint32_t now = platform::clockMs();
    readClock(clock, now);
    int32_t offsetBeforeControls = clock.seekOffset;
    updateDemoTime(clock, offsetBeforeControls);
    if (s.showFps) showTitle(frameRate, clock.demoTime, now);
    uint32_t sleep = framePacingSleep(clock, now);
    drawFrame(clock, letterbox);
    if (sleep > 0) platform::sleepMs(sleep);
    platform::swapBuffers();
    // Closing the window ends the run through the normal shutdown as well.
    if (platform::quitRequested() || platform::keyDown(vk::escape) || clock.demoTime >= demoEndTime + 1.0f) break;
  }

  shutdown();
  return 0;
}
