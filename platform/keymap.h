// Physical key positions (SDL scancodes, which are USB HID usage codes) to the
// Windows virtual-key codes a Nordic layout reports for the same keys.
#pragma once

namespace platform {
// 0 for keys the engine has no code for.
int virtualKeyForScancode(int scancode);
}  // namespace platform
