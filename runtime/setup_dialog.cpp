#include "runtime/setup_dialog.h"

#include <cctype>
#include <climits>
#include <cstdio>

// The generated background picture (tools/make_dialog_picture.cpp).
extern const int dialogPictureWidth;
extern const int dialogPictureHeight;
extern const uint32_t dialogPicturePixels[];

const MonitorShape monitorShapes[5] = {
    {"output 5:4", 1.25f},   {"output 4:3", 4.0f / 3.0f},   {"output 16:10", 1.6f},
    {"output 16:9", 16.0f / 9.0f}, {"output 10:16", 0.625f},
};

namespace {

// The dialog template, in dialog units.
constexpr int templateWidth = 262;
constexpr int templateHeight = 281;

struct TemplateControl {
  int id;
  platform::DialogControlKind kind;
  const char* text;
  int x, y, width, height;
};

const TemplateControl templateControls[] = {
    {groupBoxId, platform::DialogControlKind::groupBox, "", 5, 248, 108, 21},
    {resolutionListId, platform::DialogControlKind::comboBox, "", 5, 212, 111, 76},
    {beginButtonId, platform::DialogControlKind::pushButton, "Begin", 141, 235, 110, 13},
    {endButtonId, platform::DialogControlKind::pushButton, "End", 141, 254, 110, 13},
    {fullscreenBoxId, platform::DialogControlKind::checkBox, "Fullscreen", 13, 256, 50, 9},
    {audioBoxId, platform::DialogControlKind::checkBox, "Audio", 67, 256, 36, 9},
    {shapeListId, platform::DialogControlKind::comboBox, "", 5, 230, 111, 76},
};

// Dialog base units of 8-point "MS Sans Serif" at 96 dpi: the average
// character is 6 pixels wide and a line 13 pixels high. A horizontal dialog
// unit is a quarter of the first, a vertical one an eighth of the second.
constexpr int baseUnitX = 6;
constexpr int baseUnitY = 13;

// units * numerator / denominator, rounded to nearest with halves away from zero.
int mulDivRounded(int units, int numerator, int denominator) {
  long long product = static_cast<long long>(units) * numerator;
  long long half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator : -((-product + half) / denominator));
}

// A combo box hands back at most this many characters of its text.
constexpr size_t comboTextLimit = 29;

std::string comboText(const std::string& text) { return text.substr(0, comboTextLimit); }

// A decimal integer after optional blanks and sign; anything else ends it,
// and no digits read as 0. Out-of-range values stop at the int limits.
int readInteger(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > INT_MAX) value = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

bool startsWithIgnoringCase(const std::string& entry, const std::string& prefix) {
  if (prefix.size() > entry.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(entry[i])) != std::tolower(static_cast<unsigned char>(prefix[i]))) {
      return false;
    }
  }
  return true;
}

std::string sizeText(int width, int height) {
  char text[32];
  std::snprintf(text, sizeof text, "%dx%d", width, height);
  return text;
}

}  // namespace

std::vector<std::string> resolutionEntries(const std::vector<platform::DisplayMode>& modes) {
  std::vector<std::string> entries;
  for (const platform::DisplayMode& mode : modes) {
    if (mode.bitsPerPixel != 32) continue;
    std::string text = sizeText(mode.width, mode.height);
    bool listed = false;
    for (const std::string& entry : entries) listed = listed || entry == text;
    if (!listed) entries.push_back(text);
  }
  return entries;
}

int selectString(const std::vector<std::string>& entries, const std::string& text) {
  for (size_t i = 0; i < entries.size(); ++i) {
    if (startsWithIgnoringCase(entries[i], text)) return static_cast<int>(i);
  }
  return -1;
}

int shapeForAspect(float displayAspect) {
  if (displayAspect > 1.7f) return 3;  // "output 16:9"
  if (displayAspect > 1.5f) return 2;  // "output 16:10"
  if (displayAspect > 1.3f) return 1;  // "output 4:3"
  if (displayAspect > 1.0f) return 0;  // "output 5:4"
  return 4;                            // "output 10:16"
}

SetupDialog initSetupDialog(const RuntimeSettings& s, const std::vector<platform::DisplayMode>& modes) {
  SetupDialog dialog;
  dialog.fullscreenChecked = s.fullscreen;
  dialog.audioChecked = s.musicEnabled;
  dialog.resolutions = resolutionEntries(modes);
  dialog.resolutionSelection = selectString(dialog.resolutions, sizeText(s.width, s.height));
  dialog.shapeSelection = shapeForAspect(s.displayAspect);
  return dialog;
}

void takeResolution(const std::string& text, RuntimeSettings& s) {
  std::string limited = comboText(text);
  size_t x = limited.find('x');
  // Without an "x" there is no height to take.
  if (x == std::string::npos) return;
  int width = readInteger(limited.substr(0, x));
  int height = readInteger(limited.substr(x + 1));
  if (width == 0) return;
  s.width = width;
  s.height = height;
}

void takeMonitorShape(const std::string& text, RuntimeSettings& s) {
  // Tried widest first, not in list order.
  static const int matchOrder[] = {3, 2, 1, 0, 4};
  std::string limited = comboText(text);
  for (int index : matchOrder) {
    if (limited.find(monitorShapes[index].text) != std::string::npos) {
      s.displayAspect = monitorShapes[index].aspect;
      return;
    }
  }
}

SetupOutcome setupDialogCommand(const platform::DialogCommand& command, RuntimeSettings& s) {
  using platform::DialogNotification;
  // There is no close box; a close from the window manager means "End".
  if (command.notification == DialogNotification::closeRequest) return SetupOutcome::end;
  switch (command.controlId) {
    case beginButtonId:
      return command.notification == DialogNotification::clicked ? SetupOutcome::begin : SetupOutcome::stay;
    case endButtonId:
      return command.notification == DialogNotification::clicked ? SetupOutcome::end : SetupOutcome::stay;
    case fullscreenBoxId: s.fullscreen = !s.fullscreen; break;
    case audioBoxId: s.musicEnabled = !s.musicEnabled; break;
    case resolutionListId:
      if (command.notification == DialogNotification::selectionChanged) takeResolution(command.text, s);
      break;
    case shapeListId: takeMonitorShape(command.text, s); break;
    default: break;
  }
  return SetupOutcome::stay;
}

int dialogUnitsToPixelsX(int units) { return mulDivRounded(units, baseUnitX, 4); }
int dialogUnitsToPixelsY(int units) { return mulDivRounded(units, baseUnitY, 8); }

platform::DialogTemplate setupDialogTemplate(const SetupDialog& dialog) {
  platform::DialogTemplate t;
  t.caption = std::string(12, ' ') + windowCaption;
  t.width = dialogUnitsToPixelsX(templateWidth);
  t.height = dialogUnitsToPixelsY(templateHeight);
  t.fontHeight = baseUnitY;
  t.picture = {dialogPictureWidth, dialogPictureHeight, dialogPicturePixels};
  for (const TemplateControl& tc : templateControls) {
    platform::DialogControl c;
    c.id = tc.id;
    c.kind = tc.kind;
    c.text = tc.text;
    c.x = dialogUnitsToPixelsX(tc.x);
    c.y = dialogUnitsToPixelsY(tc.y);
    c.width = dialogUnitsToPixelsX(tc.width);
    c.height = dialogUnitsToPixelsY(tc.height);
    if (tc.id == resolutionListId) {
      c.items = dialog.resolutions;
      c.selected = dialog.resolutionSelection;
    } else if (tc.id == shapeListId) {
      for (const MonitorShape& shape : monitorShapes) c.items.push_back(shape.text);
      c.selected = dialog.shapeSelection;
    } else if (tc.id == fullscreenBoxId) {
      c.checked = dialog.fullscreenChecked;
    } else if (tc.id == audioBoxId) {
      c.checked = dialog.audioChecked;
    }
    t.controls.push_back(c);
  }
  return t;
}

int runSetupDialog(RuntimeSettings& s) {
  if (platform::isHeadless()) {
    std::fprintf(stderr, "setup dialog skipped: no display to show it on\n");
    return 1;
  }
  platform::DialogTemplate dialog = setupDialogTemplate(initSetupDialog(s, platform::displayModes()));
  return platform::runModalDialog(dialog, [&s](const platform::DialogCommand& command) -> std::optional<int> {
    switch (setupDialogCommand(command, s)) {
      case SetupOutcome::begin: return 1;
      case SetupOutcome::end: return 0;
      case SetupOutcome::stay: break;
    }
    return std::nullopt;
  });
}
