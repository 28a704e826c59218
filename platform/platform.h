// The operating-system services the engine uses: window and GL context, display
// modes, key polling by Windows virtual-key codes, clock and sleep, message
// boxes and debugger output. Nothing outside platform/ includes SDL.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// --- Start-up and display -------------------------------------------------

// True when there is no display to show windows on: no X11 or Wayland display,
// or SDL_VIDEODRIVER names the offscreen or dummy driver. Windows are then
// offscreen GL surfaces and message boxes only print.
bool isHeadless();

// Starts the video subsystem; false when no window can be made at all.
bool initVideo();

struct DisplayMode {
  int width;
  int height;
  int bitsPerPixel;
  int refreshRate;
};

void desktopSize(int* width, int* height);
// Every mode of the primary display, in the driver's order.
std::vector<DisplayMode> displayModes();

// --- Demo window and GL context -------------------------------------------

enum class WindowResult {
  ok,
  noWindow,          // "Failed To Register The Window Class."
  modeChangeFailed,  // the full-screen mode could not be set
  noPixelFormat,     // "Can't Find A Suitable PixelFormat."
  pixelFormatNotSet, // "Can't Set The PixelFormat."
  noContext,         // "Can't Create A GL Rendering Context."
  contextNotCurrent, // "Can't Activate GLRC."
};

struct WindowRequest {
  int width;
  int height;
  bool fullscreen;
  // Full screen only: change the display mode to width x height at 32 bits;
  // otherwise the window covers the desktop in its current mode.
  bool changeMode;
  std::string title;
};

// Opens the window with a double-buffered GL context (32-bit colour, 16-bit
// depth) current on the calling thread. The client area is width x height.
WindowResult openWindow(const WindowRequest& request);
// The client size of the open window (the screen size in full screen).
void windowSize(int* width, int* height);
void setWindowTitle(const std::string& title);
void hideCursor();
void swapBuffers();
// Restores the desktop mode and closes the window and its context.
void closeWindow();
void shutdownVideo();

// GL entry point by name; null when the driver lacks it.
void* glProcAddress(const char* name);

// --- Events, focus and keys -----------------------------------------------

// Handles pending window-system events: key state, focus and quit requests.
void pumpEvents();
// A quit request (the window was closed) arrived since start-up.
bool quitRequested();
// The demo window has keyboard focus.
bool hasFocus();

// GetAsyncKeyState semantics: the key is down now, or was pressed since the
// last call for that key. Codes are Windows virtual-key codes (see vkeys.h).
bool keyDown(int virtualKey);

// --- Clock ----------------------------------------------------------------

// Milliseconds since an arbitrary start; wraps like a 32-bit counter.
uint32_t clockMs();
void sleepMs(uint32_t ms);
// Stand-ins for timeBeginPeriod/timeEndPeriod: the clock already has 1 ms
// resolution here, so these only keep the start-up order readable.
void beginTimerPeriod();
void endTimerPeriod();

// --- Messages -------------------------------------------------------------

enum class MessageIcon { error, exclamation, information };

// A message box with no owner window. Always prints "CAPTION: text" to stderr;
// with a display it also shows the box and waits for it to be closed.
void messageBox(const std::string& caption, const std::string& text, MessageIcon icon);
// A Yes/No question. Headless, it prints the question and answers
// safeAnswer, saying so on stderr.
bool askYesNo(const std::string& caption, const std::string& text, MessageIcon icon, bool safeAnswer);

// Debugger output: written to stderr when QUORIN_DEBUG is set.
void debugOutput(const std::string& text);

}  // namespace platform
