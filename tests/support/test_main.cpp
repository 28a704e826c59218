// Test programs run headless unless told otherwise: GL on an offscreen
// surface, audio on the dummy driver. They find the sources and the built
// programs through QUORIN_SOURCE_DIR and QUORIN_BINARY_DIR.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  setenv("QUORIN_SOURCE_DIR", QUORIN_SOURCE_DIR, 0);
  setenv("QUORIN_BINARY_DIR", QUORIN_BINARY_DIR, 0);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
