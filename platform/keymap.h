// Physical key positions (SDL scancodes, which are USB HID usage codes) to the
// Windows virtual-key codes a Nordic layout reports for the same keys.
#pragma once

namespace platform {
// 0 for keys the engine has no code for.
int virtualKeyForScancode(int scancode);
// The code that either side reports too: Shift 16, Ctrl 17, Alt 18; else 0.
int genericVirtualKey(int virtualKey);
// SDL mouse buttons (1 left, 2 middle, 3 right, 4 and 5 the side buttons) to
// VK_LBUTTON 1, VK_MBUTTON 4, VK_RBUTTON 2, VK_XBUTTON1 5, VK_XBUTTON2 6.
int virtualKeyForMouseButton(int button);
}  // namespace platform
