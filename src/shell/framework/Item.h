#pragma once
// What the keyboard and a screen reader know of a screen: its items, one per
// thing a user can press, type into or read, whatever controls show it (a
// tile's normal, hover and pressed pictures are one button), in reading
// order.
#include <string>
#include <vector>

namespace velmora {

enum class Role { PushButton, Link, CheckButton, RadioButton, EditableText, StaticText, Graphic };

struct Item {
  std::string name = {};  // what it reads as; a static text reads as its label's caption
  Role role = Role::PushButton;
  // The controls that show it: the one at rest first; for a picture button,
  // then the hover picture that takes the press (and the pressed picture).
  std::vector<std::string> parts = {};
  bool tabStop = true;  // reached with Tab (an option group: at its selected option only)
  // A setting of the page (a box, an option, a swatch, the text box): the
  // focus shows its description, and Enter presses the page's default button.
  bool setting = false;
  std::string group = {};  // the option buttons of one group
};

// An item as a screen reader reads it now.
struct ItemState {
  bool focused = false;
  bool focusable = false;
  bool unavailable = false;  // a locked box
  bool checked = false;      // a ticked box, a selected option
  bool readOnly = false;
};

}  // namespace velmora
