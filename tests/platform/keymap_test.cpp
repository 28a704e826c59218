#include <gtest/gtest.h>

#include "platform/keymap.h"
#include "platform/vkeys.h"

namespace {

// Scancodes are USB HID usage codes, so the numbers are stable.
TEST(KeyMap, PhysicalKeysGiveNordicVirtualKeys) {
  const int cases[][2] = {
      {4, 'A'},   {29, 'Z'},  {30, '1'},  {38, '9'},  {39, '0'},
      {45, vk::oemPlus},   // right of 0: + and ?
      {54, vk::oemComma},  {55, vk::oemPeriod},
      {56, vk::oemMinus},  // - and _
      {49, vk::oem2},      // apostrophe
      {51, vk::oem3},      // o with diaeresis
      {52, vk::oem7},      // a with diaeresis
      {87, vk::numpadAdd}, {86, vk::numpadSubtract},
      {225, vk::leftShift}, {229, vk::rightShift},
      {44, vk::space}, {43, vk::tab}, {40, vk::enter}, {41, vk::escape}, {76, vk::del}, {42, vk::backspace},
      {80, vk::left},  {79, vk::right},
      {224, 162}, {228, 163}, {226, 164}, {230, 165},  // left/right Ctrl and Alt
      {227, 91}, {231, 92}, {101, 93}, {72, 19}, {71, 145}, {83, 144},  // Windows, menu, Pause, locks
      {0, 0},  // unknown
  };
  for (const auto& c : cases) EXPECT_EQ(platform::virtualKeyForScancode(c[0]), c[1]) << "scancode " << c[0];
}

// Either Shift, Ctrl or Alt also reports the generic code, as GetAsyncKeyState does.
TEST(KeyMap, SidedKeysHaveAGenericCode) {
  const int cases[][2] = {{vk::leftShift, vk::shift}, {vk::rightShift, vk::shift}, {162, 17}, {163, 17},
                          {164, 18},                  {165, 18},                    {'A', 0},  {0, 0}};
  for (const auto& c : cases) EXPECT_EQ(platform::genericVirtualKey(c[0]), c[1]) << c[0];
}

// Mouse buttons are polled like keys (so they type their codes into a comment).
TEST(KeyMap, MouseButtonsHaveVirtualKeys) {
  // SDL numbers the buttons left 1, middle 2, right 3, then the two side buttons.
  const int cases[][2] = {{1, 1}, {2, 4}, {3, 2}, {4, 5}, {5, 6}, {6, 0}, {0, 0}};
  for (const auto& c : cases) EXPECT_EQ(platform::virtualKeyForMouseButton(c[0]), c[1]) << "button " << c[0];
}

}  // namespace
