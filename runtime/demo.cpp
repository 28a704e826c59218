#include "runtime/demo.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>

#include "effects/framework/effects.h"
#include "platform/platform.h"
#include "platform/vkeys.h"
#include "render/gpu.h"
#include "render/resources.h"
#include "render/targets.h"
#include "runtime/authoring.h"
#include "runtime/comments.h"
#include "runtime/datapack.h"
#include "runtime/frame_clock.h"
#include "runtime/music.h"
#include "runtime/overlay_font.h"
#include "runtime/settings.h"
#include "runtime/setup_dialog.h"
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
  presentFrame(settings.width, settings.height, letterbox);
}

bool musicChannelPlaying() { return musicPlaying(); }

void setMusicPaused(bool paused) {
  if (paused) {
    pauseMusic();
  } else {
    resumeMusic();
  }
}

const MusicControl musicControl = {musicChannelPlaying, setMusicPaused};

// One overlay line in the letterbox viewport, over the picture.
int drawCommentLine(const std::string& line, float x, float y, bool bright) {
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_TEXTURE_2D);
  glTranslatef(x, y, 0.0f);
  glScalef(0.06f, 0.06f, 1.0f);
  float level = bright ? 1.0f : 0.75f;
  glColor4f(level, level, level, 1.0f);
  return drawOverlayText(line);
}

void shutdown() {
  platform::endTimerPeriod();
  if (settings.commentsEnabled) saveComments(commentsFileName, commentEditor.commentList, buildRevision);
  deleteOverlayFont();
  releaseMusic();
  if (settings.makeFileList) writeFileList();
  deleteAllTextures();  // while the context still exists; it goes with the window
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
  // "End" in the setup dialog ends the run before any window exists.
  if (s.showDialog && runSetupDialog(s) == 0) std::exit(0);

  float outputAspect = static_cast<float>(s.width) / static_cast<float>(s.height);
  if (s.fullscreen) outputAspect = s.displayAspect;
  targetWidth = largestPowerOfTwoAtMost(s.width);
  targetHeight = largestPowerOfTwoAtMost(s.height);

  if (!openDemoWindow(s, desktopWidth, desktopHeight)) {
    platform::shutdownVideo();
    return 0;
  }

  initGpu();
  createStandardTargets();
  installResourceLoaders();
  loadEffects(timelinePath);
  makeOverlayFont();
  if (s.commentsEnabled) loadComments(commentsFileName, commentEditor.commentList);
  startMusic();
  platform::beginTimerPeriod();

  FrameClock clock;
  startClock(clock, s.demoStartTime, platform::clockMs());
  FrameRateCounter frameRate;
  const Viewport letterbox = letterboxViewport(s.width, s.height, outputAspect, contentAspect);

  for (;;) {
    platform::pumpEvents();
    uint32_t now = platform::clockMs();
    readClock(clock, now);
    bool focus = platform::hasFocus();
    if (s.rewindEnabled) {
      runGlideAndPause(authoring, clock, focus, commentEditor.editing, platform::keyDown, musicControl);
    }
    int32_t offsetBeforeControls = clock.seekOffset;
    if (s.rewindEnabled) {
      if (clock.paused) {
        clock.seekOffset -= clock.frameMs;  // the demo time stands still
      } else {
        runWinding(clock, focus, platform::keyDown);
      }
    }
    updateDemoTime(clock, offsetBeforeControls);
    // Without music the flag stays set.
    if (clock.resyncMusic && musicPlaying()) {
      syncMusicTo(clock.demoTime);
      clock.resyncMusic = false;
    }
    if (s.showFps) showTitle(frameRate, clock.demoTime, now);
    uint32_t sleep = framePacingSleep(clock, now);
    drawFrame(clock, letterbox);
    if (sleep > 0) platform::sleepMs(sleep);
    if (s.commentsEnabled) {
      runCommentEditor(commentEditor, clock.demoTime, clock.elapsed, clock.paused, platform::keyDown,
                       drawCommentLine);
    }
    platform::swapBuffers();
    // Closing the window ends the run through the normal shutdown as well.
    if (platform::quitRequested() || platform::keyDown(vk::escape) || clock.demoTime >= demoEndTime + 1.0f) break;
  }

  shutdown();
  return 0;
}
