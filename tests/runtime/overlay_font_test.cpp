// The overlay font, drawn headless and read back.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "platform/platform.h"
#include "runtime/overlay_font.h"

namespace {

class OverlayFont : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    platform::WindowRequest request{128, 64, false, false, "overlay font test"};
    ASSERT_EQ(platform::openWindow(request), platform::WindowResult::ok);
    fontMade = makeOverlayFont();
  }
  static void TearDownTestSuite() {
    deleteOverlayFont();
    platform::shutdownVideo();
  }
  static bool fontMade;
};
bool OverlayFont::fontMade = false;

TEST_F(OverlayFont, AdvancesAreInEms) {
  ASSERT_TRUE(fontMade);
  // Bold Arial metrics, which Liberation Sans Bold shares: 'A' and 'W' are
  // 0.722 and 0.944 em, the blank 0.278 em.
  EXPECT_NEAR(overlayAdvance('A'), 0.722f, 0.002f);
  EXPECT_NEAR(overlayAdvance('W'), 0.944f, 0.002f);
  EXPECT_NEAR(overlayAdvance(' '), 0.278f, 0.002f);
  // Windows-1252: 0x80 is the euro sign, 0xe4 a with diaeresis.
  EXPECT_GT(overlayAdvance(0x80), 0.3f);
  EXPECT_NEAR(overlayAdvance(0xe4), overlayAdvance('a'), 0.002f);
}

TEST(OverlayWrap, LinesBreakAfterTheCharacterThatCrossesTheWidth) {
  float advances[256];
  for (float& a : advances) a = 1.0f;
  std::vector<std::string> four = wrapOverlayText("abcd", advances, 3.5f);
  EXPECT_EQ(four, (std::vector<std::string>{"abcd", ""}));
  EXPECT_EQ(wrapOverlayText("abcdefgh", advances, 3.5f), (std::vector<std::string>{"abcd", "efgh", ""}));
  EXPECT_EQ(wrapOverlayText("abc", advances, 3.5f), (std::vector<std::string>{"abc"}));
  EXPECT_EQ(wrapOverlayText("", advances, 3.5f), (std::vector<std::string>{""}));
}

TEST_F(OverlayFont, DrawsFilledGlyphsAndCountsLineBreaks) {
  ASSERT_TRUE(fontMade);
  glViewport(0, 0, 128, 64);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_DEPTH_TEST);
  glColor4f(1, 1, 1, 1);
  glTranslatef(-0.95f, -0.5f, 0.0f);
  glScalef(0.5f, 1.0f, 1.0f);
  EXPECT_EQ(drawOverlayText("MM"), 0);
  std::vector<unsigned char> pixels(128 * 64 * 4);
  glReadPixels(0, 0, 128, 64, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
  int lit = 0;
  for (size_t i = 0; i < pixels.size(); i += 4) lit += pixels[i] > 128;
  // Two bold capitals half an em wide and one em high: a good share of their boxes.
  EXPECT_GT(lit, 500);
  EXPECT_LT(lit, 128 * 64 / 2);
  // Capitals of 0.833 em: a line takes 31 of them (25.8 ems), so 70 wrap twice.
  EXPECT_EQ(drawOverlayText(std::string(70, 'M')), 2);
  EXPECT_EQ(drawOverlayText(std::string(70, 'M'), false), 0);
}

}  // namespace
