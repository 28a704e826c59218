// The setup dialog's logic: what the controls show when it opens and what
// each command does to the settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <iterator>
#include <set>

#include "runtime/setup_dialog.h"

namespace {

using platform::DialogCommand;
using platform::DialogNotification;
using platform::DisplayMode;

RuntimeSettings settingsFor(int width, int height, float displayAspect) {
  RuntimeSettings s;
  s.width = width;
  s.height = height;
  s.displayAspect = displayAspect;
  return s;
}

TEST(SetupDialog, ShapePreselectedFromTheDesktop) {
  struct Case {
    int desktopWidth, desktopHeight;
    const char* shape;
  };
  const Case cases[] = {
      {1280, 1024, "output 5:4"}, {1680, 1050, "output 16:10"}, {1024, 768, "output 4:3"},
      {1920, 1080, "output 16:9"}, {1050, 1680, "output 10:16"},
      // The thresholds are exclusive.
      {1024, 1024, "output 10:16"}, {1440, 960, "output 4:3"},
  };
  for (const Case& c : cases) {
    float aspect = static_cast<float>(c.desktopWidth) / static_cast<float>(c.desktopHeight);
    RuntimeSettings s = settingsFor(1024, 768, aspect);
    SetupDialog dialog = initSetupDialog(s, {});
    EXPECT_STREQ(monitorShapes[dialog.shapeSelection].text, c.shape) << c.desktopWidth << "x" << c.desktopHeight;
    EXPECT_EQ(s.displayAspect, aspect) << "preselecting changes nothing";
  }
}

TEST(SetupDialog, ResolutionListHoldsEach32BitSizeOnceInDriverOrder) {
  const std::vector<DisplayMode> modes = {
      {1920, 1080, 32, 60}, {1920, 1080, 32, 50}, {1280, 1024, 16, 60}, {1280, 1024, 32, 75},
      {800, 600, 24, 60},   {1024, 768, 32, 60},  {1920, 1080, 32, 30},
  };
  RuntimeSettings s = settingsFor(1024, 768, 1.25f);
  SetupDialog dialog = initSetupDialog(s, modes);
  EXPECT_EQ(dialog.resolutions, (std::vector<std::string>{"1920x1080", "1280x1024", "1024x768"}));
  EXPECT_EQ(dialog.resolutionSelection, 2);
}

TEST(SetupDialog, ChecksFollowTheSettings) {
  RuntimeSettings s;
  s.fullscreen = true;
  s.musicEnabled = false;
  SetupDialog dialog = initSetupDialog(s, {});
  EXPECT_TRUE(dialog.fullscreenChecked);
  EXPECT_FALSE(dialog.audioChecked);
}

TEST(SetupDialog, ASizeTheDisplayLacksIsNotSelectedAndBeginKeepsIt) {
  RuntimeSettings s = settingsFor(800, 600, 1.25f);
  SetupDialog dialog = initSetupDialog(s, {{1280, 1024, 32, 60}, {800, 600, 16, 60}});
  EXPECT_EQ(dialog.resolutions, std::vector<std::string>{"1280x1024"});
  EXPECT_EQ(dialog.resolutionSelection, -1);
  EXPECT_EQ(setupDialogCommand({beginButtonId, DialogNotification::clicked, "Begin"}, s), SetupOutcome::begin);
  EXPECT_EQ(s.width, 800);
  EXPECT_EQ(s.height, 600);
}

TEST(SetupDialog, SelectionIsTheFirstEntryBeginningWithTheText) {
  struct Case {
    std::vector<std::string> entries;
    const char* text;
    int expected;
  };
  const Case cases[] = {
      {{"1280x1024", "1024x768"}, "1024x768", 1},
      {{"1024x7680", "1024x768"}, "1024x768", 0},  // a prefix is enough
      {{"1024X768"}, "1024x768", 0},               // case does not matter
      {{"1024x76"}, "1024x768", -1},
      {{}, "1024x768", -1},
  };
  for (const Case& c : cases) EXPECT_EQ(selectString(c.entries, c.text), c.expected) << c.text;
}

TEST(SetupDialog, TakingAResolution) {
  struct Case {
    std::string text;
    int width, height;
  };
  const Case cases[] = {
      {"1024x768", 1024, 768},
      {"1280x1024", 1280, 1024},
      {"0x600", 640, 480},  // a first number of 0 changes nothing
      {"x768", 640, 480},
      {"", 640, 480},
      {"1024", 640, 480},  // no height to take
      {"  800x600", 800, 600},
      {std::string(24, ' ') + "800x600", 800, 6},  // the text stops after 29 characters
      {"99999999999x768", INT_MAX, 768},
  };
  for (const Case& c : cases) {
    RuntimeSettings s = settingsFor(640, 480, 1.25f);
    takeResolution(c.text, s);
    EXPECT_EQ(s.width, c.width) << '"' << c.text << '"';
    EXPECT_EQ(s.height, c.height) << '"' << c.text << '"';
  }
}

TEST(SetupDialog, TakingAMonitorShape) {
  struct Case {
    const char* text;
    float aspect;
  };
  const float unchanged = 1.5f;
  const Case cases[] = {
      {"output 5:4", 1.25f},      {"output 4:3", 1.3333334f}, {"output 16:10", 1.6f},
      {"output 16:9", 1.7777778f}, {"output 10:16", 0.625f},   {"my output 16:9 shape", 1.7777778f},
      {"", unchanged},             {"output 3:2", unchanged},  {"OUTPUT 16:9", unchanged},
  };
  for (const Case& c : cases) {
    RuntimeSettings s = settingsFor(1024, 768, unchanged);
    takeMonitorShape(c.text, s);
    EXPECT_FLOAT_EQ(s.displayAspect, c.aspect) << c.text;
  }
}

TEST(SetupDialog, Commands) {
  RuntimeSettings s = settingsFor(1024, 768, 1.25f);
  s.fullscreen = false;
  s.musicEnabled = true;

  DialogCommand fullscreen{fullscreenBoxId, DialogNotification::clicked, "Fullscreen"};
  EXPECT_EQ(setupDialogCommand(fullscreen, s), SetupOutcome::stay);
  EXPECT_TRUE(s.fullscreen);
  setupDialogCommand(fullscreen, s);
  EXPECT_FALSE(s.fullscreen) << "two clicks leave it as it was";
  setupDialogCommand({audioBoxId, DialogNotification::clicked, "Audio"}, s);
  EXPECT_FALSE(s.musicEnabled);

  // The resolution list answers only a changed selection; the shape list answers anything.
  setupDialogCommand({resolutionListId, DialogNotification::dropDown, "1280x1024"}, s);
  EXPECT_EQ(s.width, 1024);
  setupDialogCommand({resolutionListId, DialogNotification::selectionChanged, "1280x1024"}, s);
  EXPECT_EQ(s.width, 1280);
  EXPECT_EQ(s.height, 1024);
  setupDialogCommand({shapeListId, DialogNotification::dropDown, "output 16:9"}, s);
  EXPECT_FLOAT_EQ(s.displayAspect, 16.0f / 9.0f);

  EXPECT_EQ(setupDialogCommand({beginButtonId, DialogNotification::clicked, "Begin"}, s), SetupOutcome::begin);
  EXPECT_EQ(setupDialogCommand({endButtonId, DialogNotification::clicked, "End"}, s), SetupOutcome::end);
  EXPECT_EQ(setupDialogCommand({0, DialogNotification::closeRequest, ""}, s), SetupOutcome::end);
  EXPECT_EQ(setupDialogCommand({groupBoxId, DialogNotification::clicked, ""}, s), SetupOutcome::stay);
}

TEST(SetupDialog, TemplateInPixels) {
  struct Case {
    int units, x, y;
  };
  // 8-point dialog font: 6 x 13 pixel base units; halves round up.
  const Case cases[] = {{4, 6, 7}, {8, 12, 13}, {5, 8, 8}, {212, 318, 345}, {262, 393, 426}, {281, 422, 457}};
  for (const Case& c : cases) {
    EXPECT_EQ(dialogUnitsToPixelsX(c.units), c.x) << c.units;
    EXPECT_EQ(dialogUnitsToPixelsY(c.units), c.y) << c.units;
  }

  RuntimeSettings s = settingsFor(1024, 768, 1.25f);
  s.musicEnabled = true;
  platform::DialogTemplate t = setupDialogTemplate(initSetupDialog(s, {{1024, 768, 32, 60}}));
  EXPECT_EQ(t.caption, "            -~- Quorin . Hollow Lattice . Vantfest 2008 -~-");
  EXPECT_EQ(t.width, 393);
  EXPECT_EQ(t.height, 457);

  struct Expected {
    int id;
    const char* text;
    int x, y, width, height;
  };
  const Expected controls[] = {
      {groupBoxId, "", 8, 403, 162, 34},        {resolutionListId, "", 8, 345, 167, 124},
      {beginButtonId, "Begin", 212, 382, 165, 21}, {endButtonId, "End", 212, 413, 165, 21},
      {fullscreenBoxId, "Fullscreen", 20, 416, 75, 15}, {audioBoxId, "Audio", 101, 416, 54, 15},
      {shapeListId, "", 8, 374, 167, 124},
  };
  ASSERT_EQ(t.controls.size(), std::size(controls));
  for (size_t i = 0; i < t.controls.size(); ++i) {
    const platform::DialogControl& c = t.controls[i];
    const Expected& e = controls[i];
    EXPECT_EQ(c.id, e.id);
    EXPECT_EQ(c.text, e.text) << e.id;
    EXPECT_EQ((std::vector<int>{c.x, c.y, c.width, c.height}), (std::vector<int>{e.x, e.y, e.width, e.height})) << e.id;
  }
  EXPECT_EQ(t.controls[1].items, std::vector<std::string>{"1024x768"});
  EXPECT_EQ(t.controls[1].selected, 0);
  EXPECT_EQ(t.controls[6].items,
            (std::vector<std::string>{"output 5:4", "output 4:3", "output 16:10", "output 16:9", "output 10:16"}));
  EXPECT_EQ(t.controls[6].selected, 0);
  EXPECT_FALSE(t.controls[4].checked);
  EXPECT_TRUE(t.controls[5].checked);
}

TEST(SetupDialog, PictureIsOpaqueArtworkOfItsSize) {
  platform::DialogTemplate t = setupDialogTemplate(SetupDialog{});
  ASSERT_EQ(t.picture.width, 390);
  ASSERT_EQ(t.picture.height, 330);
  ASSERT_NE(t.picture.pixels, nullptr);
  std::set<uint32_t> colours;
  bool opaque = true;
  for (int i = 0; i < t.picture.width * t.picture.height; ++i) {
    opaque = opaque && (t.picture.pixels[i] >> 24) == 0xff;
    colours.insert(t.picture.pixels[i]);
  }
  EXPECT_TRUE(opaque);
  EXPECT_GT(colours.size(), 1000u);
}

TEST(SetupDialog, SkippedWithoutADisplayAsWithBegin) {
  // The test programs run on the offscreen video driver.
  RuntimeSettings s = settingsFor(800, 600, 1.25f);
  testing::internal::CaptureStderr();
  EXPECT_EQ(runSetupDialog(s), 1);
  std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("setup dialog skipped"), std::string::npos) << said;
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  EXPECT_EQ(s.width, 800);
}

}  // namespace
