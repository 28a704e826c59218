#include "platform/keymap.h"

#include <SDL2/SDL_scancode.h>

#include "platform/vkeys.h"

namespace platform {

int virtualKeyForScancode(int scancode) {
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
    return vk::letterA + (scancode - SDL_SCANCODE_A);
  }
  // SDL orders the digit row 1..9, 0.
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) {
    return vk::digit0 + 1 + (scancode - SDL_SCANCODE_1);
  }
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) {
    return 112 + (scancode - SDL_SCANCODE_F1);
  }
  if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9) {
    return 97 + (scancode - SDL_SCANCODE_KP_1);
  }
  switch (scancode) {
    case SDL_SCANCODE_0: return vk::digit0;
    case SDL_SCANCODE_BACKSPACE: return vk::backspace;
    case SDL_SCANCODE_TAB: return vk::tab;
    case SDL_SCANCODE_RETURN: return vk::enter;
    case SDL_SCANCODE_KP_ENTER: return vk::enter;
    case SDL_SCANCODE_ESCAPE: return vk::escape;
    case SDL_SCANCODE_SPACE: return vk::space;
    case SDL_SCANCODE_PAGEUP: return 33;
    case SDL_SCANCODE_PAGEDOWN: return 34;
    case SDL_SCANCODE_END: return 35;
    case SDL_SCANCODE_HOME: return 36;
    case SDL_SCANCODE_LEFT: return vk::left;
    case SDL_SCANCODE_UP: return vk::up;
    case SDL_SCANCODE_RIGHT: return vk::right;
    case SDL_SCANCODE_DOWN: return vk::down;
    case SDL_SCANCODE_INSERT: return 45;
    case SDL_SCANCODE_DELETE: return vk::del;
    case SDL_SCANCODE_CAPSLOCK: return 20;
    case SDL_SCANCODE_KP_0: return 96;
    case SDL_SCANCODE_KP_MULTIPLY: return 106;
    case SDL_SCANCODE_KP_PLUS: return vk::numpadAdd;
    case SDL_SCANCODE_KP_MINUS: return vk::numpadSubtract;
    case SDL_SCANCODE_KP_PERIOD: return 110;
    case SDL_SCANCODE_KP_DIVIDE: return 111;
    case SDL_SCANCODE_LSHIFT: return vk::leftShift;
    case SDL_SCANCODE_RSHIFT: return vk::rightShift;
    case SDL_SCANCODE_LCTRL: return 162;
    case SDL_SCANCODE_RCTRL: return 163;
    case SDL_SCANCODE_LALT: return 164;
    case SDL_SCANCODE_RALT: return 165;
    case SDL_SCANCODE_LGUI: return 91;
    case SDL_SCANCODE_RGUI: return 92;
    case SDL_SCANCODE_APPLICATION: return 93;
    case SDL_SCANCODE_PAUSE: return 19;
    case SDL_SCANCODE_SCROLLLOCK: return 145;
    case SDL_SCANCODE_NUMLOCKCLEAR: return 144;
    // The Nordic keys, by position on the US-named scancodes.
    case SDL_SCANCODE_MINUS: return vk::oemPlus;         // + ?
    case SDL_SCANCODE_EQUALS: return 219;                // acute accent
    case SDL_SCANCODE_LEFTBRACKET: return 221;           // a with ring
    case SDL_SCANCODE_RIGHTBRACKET: return 186;          // diaeresis
    case SDL_SCANCODE_SEMICOLON: return vk::oem3;        // o with diaeresis
    case SDL_SCANCODE_APOSTROPHE: return vk::oem7;       // a with diaeresis
    case SDL_SCANCODE_BACKSLASH: return vk::oem2;        // ' *
    case SDL_SCANCODE_NONUSHASH: return vk::oem2;
    case SDL_SCANCODE_GRAVE: return 220;                 // section sign
    case SDL_SCANCODE_NONUSBACKSLASH: return 226;        // < >
    case SDL_SCANCODE_COMMA: return vk::oemComma;
    case SDL_SCANCODE_PERIOD: return vk::oemPeriod;
    case SDL_SCANCODE_SLASH: return vk::oemMinus;        // - _
    default: return 0;
  }
}

int genericVirtualKey(int virtualKey) {
  switch (virtualKey) {
    case vk::leftShift:
    case vk::rightShift: return vk::shift;
    case 162:
    case 163: return vk::control;
    case 164:
    case 165: return vk::menu;
    default: return 0;
  }
}

int virtualKeyForMouseButton(int button) {
  static const int codes[] = {0, 1, 4, 2, 5, 6};
  return button > 0 && button < 6 ? codes[button] : 0;
}

}  // namespace platform
