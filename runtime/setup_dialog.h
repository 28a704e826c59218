// The setup dialog before the demo window opens: resolution, monitor shape,
// full screen and sound, then "Begin" or "End". Its choices go straight into
// the settings as they are made.
#pragma once

#include <string>
#include <vector>

#include "platform/dialog_window.h"
#include "platform/platform.h"
#include "runtime/settings.h"

// Control ids of the dialog template.
enum SetupControlId {
  groupBoxId = 1012,
  resolutionListId = 1005,
  beginButtonId = 1004,
  endButtonId = 1007,
  fullscreenBoxId = 1006,
  audioBoxId = 1009,
  shapeListId = 1016,
};

struct MonitorShape {
  const char* text;
  float aspect;
};
// The shape list, in list order.
extern const MonitorShape monitorShapes[5];

// What the controls show when the dialog opens.
struct SetupDialog {
  std::vector<std::string> resolutions;
  int resolutionSelection = -1;  // -1: the configured size is not offered
  int shapeSelection = 0;
  bool fullscreenChecked = false;
  bool audioChecked = false;
};

// Fills and presets the controls from the settings and the display's modes.
SetupDialog initSetupDialog(const RuntimeSettings& s, const std::vector<platform::DisplayMode>& modes);

// "%dx%d" of every 32-bit mode, each size once, in the driver's order.
std::vector<std::string> resolutionEntries(const std::vector<platform::DisplayMode>& modes);
// The first entry beginning with text, ignoring case; -1 when none does.
int selectString(const std::vector<std::string>& entries, const std::string& text);
// The shape entry preselected for a desktop of this width / height.
int shapeForAspect(float displayAspect);

// "WxH" from the resolution list: a first number of 0 changes nothing.
void takeResolution(const std::string& text, RuntimeSettings& s);
// The first shape whose text the given text contains sets displayAspect.
void takeMonitorShape(const std::string& text, RuntimeSettings& s);

enum class SetupOutcome { stay, begin, end };
// One command of the dialog's controls, applied to the settings.
SetupOutcome setupDialogCommand(const platform::DialogCommand& command, RuntimeSettings& s);

// Dialog units of the 8-point dialog font to client pixels.
int dialogUnitsToPixelsX(int units);
int dialogUnitsToPixelsY(int units);
// The window's template: caption, pixel layout, picture and control states.
platform::DialogTemplate setupDialogTemplate(const SetupDialog& dialog);

// Runs the dialog: 1 for "Begin", 0 for "End", -1 when it could not be made.
// Without a display it is skipped as with "Begin", saying so on stderr.
int runSetupDialog(RuntimeSettings& s);
