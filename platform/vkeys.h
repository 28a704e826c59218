// Windows virtual-key codes, the key numbering the authoring controls use.
#pragma once

namespace vk {
constexpr int backspace = 8;
constexpr int tab = 9;
constexpr int enter = 13;
constexpr int shift = 16;    // either Shift; likewise control and menu (Alt)
constexpr int control = 17;
constexpr int menu = 18;
constexpr int escape = 27;
constexpr int space = 32;
constexpr int left = 37;
constexpr int up = 38;
constexpr int right = 39;
constexpr int down = 40;
constexpr int del = 46;
constexpr int digit0 = 48;  // '0'..'9' are 48..57
constexpr int letterA = 65; // 'A'..'Z' are 65..90
constexpr int numpadAdd = 107;
constexpr int numpadSubtract = 109;
constexpr int leftShift = 160;
constexpr int rightShift = 161;
// Keys right of the letters, by physical position on a Nordic layout.
constexpr int oemPlus = 187;   // the key right of 0
constexpr int oemComma = 188;
constexpr int oemMinus = 189;
constexpr int oemPeriod = 190;
constexpr int oem2 = 191;      // left of Enter on the home row: apostrophe
constexpr int oem3 = 192;      // right of L: o with diaeresis
constexpr int oem7 = 222;      // right of o-diaeresis: a with diaeresis
constexpr int count = 256;
}  // namespace vk
