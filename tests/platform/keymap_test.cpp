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
      {0, 0},  // unknown
  };
  for (const auto& c : cases) EXPECT_EQ(platform::virtualKeyForScancode(c[0]), c[1]) << "scancode " << c[0];
}

}  // namespace
