#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/keymap.h"
#include "platform/platform.h"
#include "platform/vkeys.h"

namespace platform {
namespace {

struct PlatformState {
  bool videoStarted = false;
  SDL_Window* window = nullptr;
  SDL_GLContext context = nullptr;
  bool quit = false;
  bool keyIsDown[vk::count] = {};
  bool keyPressed[vk::count] = {};  // went down since the last poll of that key
};

PlatformState state;

bool envEquals(const char* name, const char* value) {
  const char* v = std::getenv(name);
  return v && std::strcmp(v, value) == 0;
}

bool hasDisplayServer() {
  const char* x = std::getenv("DISPLAY");
  const char* wl = std::getenv("WAYLAND_DISPLAY");
  return (x && *x) || (wl && *wl);
}

void setKey(int virtualKey, bool down) {
  if (virtualKey <= 0 || virtualKey >= vk::count) return;
  if (down && !state.keyIsDown[virtualKey]) state.keyPressed[virtualKey] = true;
  state.keyIsDown[virtualKey] = down;
}

void handleKey(const SDL_KeyboardEvent& key, bool down) {
  if (key.repeat) return;
  int virtualKey = virtualKeyForScancode(key.keysym.scancode);
  setKey(virtualKey, down);
  if (int generic = genericVirtualKey(virtualKey)) {
    // Down while either side is down: the left code is even, the right one follows it.
    int left = virtualKey & ~1;
    setKey(generic, state.keyIsDown[left] || state.keyIsDown[left + 1]);
  }
}

Uint32 iconFlags(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::error: return SDL_MESSAGEBOX_ERROR;
    case MessageIcon::exclamation: return SDL_MESSAGEBOX_WARNING;
    case MessageIcon::information: return SDL_MESSAGEBOX_INFORMATION;
  }
  return SDL_MESSAGEBOX_ERROR;
}

}  // namespace

bool isHeadless() {
  return envEquals("SDL_VIDEODRIVER", "offscreen") || envEquals("SDL_VIDEODRIVER", "dummy") ||
         !hasDisplayServer();
}

bool initVideo() {
  if (state.videoStarted) return true;
  // Without a display the window becomes an offscreen GL surface.
  if (!hasDisplayServer() && !std::getenv("SDL_VIDEODRIVER")) {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
  }
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "video start-up failed: %s\n", SDL_GetError());
    return false;
  }
  state.videoStarted = true;
  return true;
}

void desktopSize(int* width, int* height) {
  SDL_DisplayMode mode;
  if (initVideo() && SDL_GetDesktopDisplayMode(0, &mode) == 0) {
    *width = mode.w;
    *height = mode.h;
  } else {
    *width = 1024;
    *height = 768;
  }
}

std::vector<DisplayMode> displayModes() {
  std::vector<DisplayMode> modes;
  if (!initVideo()) return modes;
  int count = SDL_GetNumDisplayModes(0);
  for (int i = 0; i < count; ++i) {
    SDL_DisplayMode mode;
    if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
    // SDL counts the padding byte of XRGB formats out; Windows counts it in.
    int bits = SDL_BYTESPERPIXEL(mode.format) * 8;
    modes.push_back({mode.w, mode.h, bits, mode.refresh_rate});
  }
  return modes;
}

WindowResult openWindow(const WindowRequest& request) {
  if (!initVideo()) return WindowResult::noWindow;
  bool attributesSet = SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8) == 0 &&
                       SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8) == 0 &&
                       SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8) == 0 &&
                       SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1) == 0 &&
                       SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16) == 0 &&
                       SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0) == 0;
  if (!attributesSet) return WindowResult::pixelFormatNotSet;

  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN;
  if (request.fullscreen) {
    flags |= request.changeMode ? SDL_WINDOW_FULLSCREEN : SDL_WINDOW_FULLSCREEN_DESKTOP;
  }
  state.window = SDL_CreateWindow(request.title.c_str(), 0, 0, request.width, request.height, flags);
  if (!state.window) {
    std::fprintf(stderr, "window creation failed: %s\n", SDL_GetError());
    return WindowResult::noWindow;
  }
  if (request.fullscreen && request.changeMode) {
    SDL_DisplayMode wanted = {SDL_PIXELFORMAT_RGB888, request.width, request.height, 0, nullptr};
    SDL_DisplayMode closest;
    if (!SDL_GetClosestDisplayMode(0, &wanted, &closest) || closest.w != request.width ||
        closest.h != request.height || SDL_SetWindowDisplayMode(state.window, &closest) != 0) {
      SDL_DestroyWindow(state.window);
      state.window = nullptr;
      return WindowResult::modeChangeFailed;
    }
  }

  state.context = SDL_GL_CreateContext(state.window);
  if (!state.context) {
    std::fprintf(stderr, "GL context creation failed: %s\n", SDL_GetError());
    return WindowResult::noContext;
  }
  if (SDL_GL_MakeCurrent(state.window, state.context) != 0) return WindowResult::contextNotCurrent;
  int doubleBuffered = 0, depthBits = 0;
  SDL_GL_GetAttribute(SDL_GL_DOUBLEBUFFER, &doubleBuffered);
  SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &depthBits);
  // Offscreen surfaces are single pbuffers; only real windows must be double-buffered.
  if ((!doubleBuffered && !isHeadless()) || depthBits < 16) {
    std::fprintf(stderr, "GL surface has double buffering %d, depth bits %d\n", doubleBuffered, depthBits);
    return WindowResult::noPixelFormat;
  }
  return WindowResult::ok;
}

void windowSize(int* width, int* height) {
  *width = 0;
  *height = 0;
  if (state.window) SDL_GL_GetDrawableSize(state.window, width, height);
}

void setWindowTitle(const std::string& title) {
  if (state.window) SDL_SetWindowTitle(state.window, title.c_str());
}

void hideCursor() {
  if (state.videoStarted) SDL_ShowCursor(SDL_DISABLE);
}

void swapBuffers() {
  if (state.window) SDL_GL_SwapWindow(state.window);
}

void closeWindow() {
  if (state.context) SDL_GL_DeleteContext(state.context);
  if (state.window) SDL_DestroyWindow(state.window);  // also restores the desktop mode
  state.context = nullptr;
  state.window = nullptr;
}

void shutdownVideo() {
  closeWindow();
  if (state.videoStarted) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  state.videoStarted = false;
}

void* glProcAddress(const char* name) {
  return state.videoStarted ? SDL_GL_GetProcAddress(name) : nullptr;
}

void pumpEvents() {
  if (!state.videoStarted) return;
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    switch (event.type) {
      case SDL_QUIT: state.quit = true; break;
      case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) state.quit = true;
        break;
      case SDL_KEYDOWN: handleKey(event.key, true); break;
      case SDL_KEYUP: handleKey(event.key, false); break;
      // GetAsyncKeyState polls the mouse buttons by code too.
      case SDL_MOUSEBUTTONDOWN: setKey(virtualKeyForMouseButton(event.button.button), true); break;
      case SDL_MOUSEBUTTONUP: setKey(virtualKeyForMouseButton(event.button.button), false); break;
      default: break;
    }
  }
}

bool quitRequested() { return state.quit; }

bool hasFocus() {
  return state.window && SDL_GetKeyboardFocus() == state.window;
}

bool keyDown(int virtualKey) {
  if (virtualKey <= 0 || virtualKey >= vk::count) return false;
  bool result = state.keyIsDown[virtualKey] || state.keyPressed[virtualKey];
  state.keyPressed[virtualKey] = false;
  return result;
}

uint32_t clockMs() { return SDL_GetTicks(); }

void sleepMs(uint32_t ms) { SDL_Delay(ms); }

void beginTimerPeriod() {}
void endTimerPeriod() {}

void messageBox(const std::string& caption, const std::string& text, MessageIcon icon) {
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  if (isHeadless()) return;
  SDL_ShowSimpleMessageBox(iconFlags(icon), caption.c_str(), text.c_str(), nullptr);
}

bool askYesNo(const std::string& caption, const std::string& text, MessageIcon icon, bool safeAnswer) {
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  if (isHeadless()) {
    std::fprintf(stderr, "%s: no display to ask on, answering %s\n", caption.c_str(),
                 safeAnswer ? "Yes" : "No");
    return safeAnswer;
  }
  const SDL_MessageBoxButtonData buttons[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
  };
  SDL_MessageBoxData data = {iconFlags(icon), nullptr, caption.c_str(), text.c_str(), 2, buttons, nullptr};
  int pressed = safeAnswer ? 1 : 0;
  if (SDL_ShowMessageBox(&data, &pressed) != 0) return safeAnswer;
  return pressed == 1;
}

void debugOutput(const std::string& text) {
  if (std::getenv("QUORIN_DEBUG")) std::fputs(text.c_str(), stderr);
}

}  // namespace platform
