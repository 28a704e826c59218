// A modal dialog in a window of its own, drawn with Dear ImGui over a
// background picture. The caller lays the controls out in client pixels and
// answers their commands; the window knows nothing of what they mean.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

enum class DialogControlKind { groupBox, comboBox, pushButton, checkBox };

struct DialogControl {
  int id = 0;
  DialogControlKind kind = DialogControlKind::pushButton;
  // Client pixels. A combo box's height includes its drop-down list.
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  std::string text;
  std::vector<std::string> items;  // combo boxes, in list order (never sorted)
  int selected = -1;               // combo boxes: -1 when nothing is selected
  bool checked = false;            // check boxes; a click flips it before the command
};

struct DialogPicture {
  int width = 0;
  int height = 0;
  const uint32_t* pixels = nullptr;  // 0xAABBGGRR, rows top first
};

struct DialogTemplate {
  std::string caption;
  int width = 0;  // client size in pixels
  int height = 0;
  int fontHeight = 13;    // pixel height of the dialog font
  DialogPicture picture;  // painted at (0, 0) in its own size
  std::vector<DialogControl> controls;
};

enum class DialogNotification {
  clicked,           // button or check box
  selectionChanged,  // an entry of a combo box's list was picked
  dropDown,          // a combo box's list opened
  closeRequest,      // the window manager asked to close the window (control id 0)
};

struct DialogCommand {
  int controlId = 0;
  DialogNotification notification = DialogNotification::clicked;
  // The control's text after the change: a combo box's selected entry ("" when
  // none is selected), a button's or check box's caption.
  std::string text;
};

// Answers one command: a value ends the dialog with that result, nullopt keeps it open.
using DialogHandler = std::function<std::optional<int>(const DialogCommand& command)>;

// Shows the dialog centred on the screen and runs it until the handler ends it;
// returns the handler's result, or -1 (after a line on stderr) when the window
// cannot be made. Escape and Enter do nothing beyond closing an open list.
// Control states (checked, selected) are updated in place.
int runModalDialog(DialogTemplate& dialog, const DialogHandler& handler);

}  // namespace platform
