#pragma once
// A form: one window kind of the program. The object lives for the whole run
// (it holds the page-level values of its screen); its window and controls
// exist only while it is loaded. Any use of an unloaded form loads it.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "shell/framework/Control.h"
#include "shell/framework/Item.h"
#include "shell/framework/Navigator.h"
#include "shell/framework/Runtime.h"

namespace velmora {

enum class Event { MouseMove, MouseDown, MouseUp, Click, KeyPress, Timer };

struct EventArgs {
  int button = 0;  // one button for MouseDown/MouseUp, the held mask for MouseMove
  double x = 0, y = 0;  // pixels, relative to the control
  int keyAscii = 0;
  bool keyboard = false;  // a Click from the keyboard (or a screen reader's default action)
};

// The keys a form handles as keys of the page.
enum class Key { Tab, Enter, Escape, Space, Left, Right, Up, Down };

using Handler = std::function<void(const EventArgs&)>;

// The name handlers use for the form's own background.
inline constexpr const char* kFormBackground = "";

// What a form is made with: the run it belongs to, whom it asks for a
// screen switch, and which window kind it is.
struct FormContext {
  Runtime& runtime;
  Navigator& navigator;
  Screen kind;
};

class Form {
 public:
  Form(const FormContext& context, std::string name, std::string caption, int widthPixels, int heightPixels);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& name() const { return name_; }
  const std::string& Caption() const { return caption_; }
  int clientWidth() const { return width_; }
  int clientHeight() const { return height_; }
  const std::string& backgroundPicture() const { return background_; }
  bool hasTaskbarButton() const { return taskbarButton_; }
  // Shown once in a run (the splash): its pictures need not outlive it.
  bool shownOnce() const { return shownOnce_; }
  Screen kind() const { return kind_; }
  Runtime& runtime() const { return runtime_; }
  Navigator& navigator() const { return navigator_; }
  Services& services() const { return runtime_.services(); }

  // Lifecycle. show/hide/hWnd load the form first when it is not loaded.
  bool loaded() const { return loaded_; }
  bool visible() const { return loaded_ && visible_; }
  WindowHandle hWnd();
  void load();
  void show();
  void hide();
  void unload();
  int WindowState() const { return windowState_; }
  void setWindowState(int state);
  Colour BackColor() const { return backColor_; }
  void setBackColor(Colour colour);

  // Controls, bottom of the z-order first.
  Control& c(const std::string& name);
  Control* find(const std::string& name) const;
  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
  // The control that takes the pointer at a client position: the topmost
  // visible, enabled one (a disabled control leaves the pointer to its
  // container); nullptr for the form's own background.
  Control* controlAt(double x, double y) const;

  // Input from the window, in client pixels. A press captures the pointer
  // for the control under it until every button is up.
  void mouseMove(double x, double y, int buttonMask);
  void mouseDown(double x, double y, int button);
  void mouseUp(double x, double y, int button);
  // A character typed into a control with the keyboard focus.
  void keyPress(const std::string& control, int keyAscii);
  // The user changed a check box or option button (a click that ended on
  // it, or the space bar): the value changes and Click follows.
  void userToggle(const std::string& control);
  void timerTick(const std::string& timer);
  // Alt+F4 or the taskbar's close.
  void systemClose();

  // The keyboard. A key of the page (Tab, Enter, Esc, and Space and the
  // arrows where they act on the focused item) is handled here and true is
  // returned; any other key is left to the control with the focus.
  bool keyDown(Key key, bool shift = false);
  // A native control took the focus (a click on it).
  void focusTaken(const std::string& control);

  // Items (Item.h), in reading order; made with the controls.
  const std::vector<Item>& items() const { return items_; }
  // The item with the keyboard focus, -1 for none.
  int focusedItem() const { return focus_; }
  // The names of the items Enter (on a setting) and Esc press; empty for none.
  const std::string& defaultItem() const { return defaultItem_; }
  const std::string& escapeItem() const { return escapeItem_; }
  // Whether the focused item shows its focus cue: after a key, until the
  // mouse is pressed again.
  bool focusCues() const { return focusCues_; }
  // An item shows (one of its controls is visible) and can be used (all are enabled).
  bool itemAvailable(int index) const;
  ItemState itemState(int index) const;
  // The words an item reads as now: a static text's caption, else its name.
  std::string itemName(int index) const;
  // What it holds: the text of a text box, else nothing.
  std::string itemValue(int index) const;
  // The description of the focused setting: what the description box shows.
  std::string itemDescription(int index) const;
  // Where it is, in client pixels: the control that shows it now.
  Rect itemPlace(int index) const;
  // The name of what its default action does, empty for none.
  std::string itemAction(int index) const;
  // A screen reader's default action: what a click does; false when the
  // item is unavailable or has no action.
  bool doDefaultAction(int index);
  // The item a control belongs to, -1 for none.
  int itemOf(const std::string& control) const;
  // The pointer capture ends (a drag hands the pointer to the window manager).
  void releaseCapture();

  // Called by a control whose property changed.
  void controlChanged(const Control& control);

  // Creates a control in its initial state; only while the form loads.
  Control& add(const std::string& name, ControlKind kind, Control* container = nullptr);
  // Declares an item, after the controls it is made of; only while the form loads.
  void addItem(Item item);
  // The item Enter presses when a setting has the focus (a page's 保存),
  // and the one Esc presses (a page's way back).
  void setDefaultItem(std::string name) { defaultItem_ = std::move(name); }
  void setEscapeItem(std::string name) { escapeItem_ = std::move(name); }
  // The label whose words describe the focused setting (the description box's).
  void setDescriptionLabel(std::string control) { describedBy_ = std::move(control); }
  // What an event of a control ("" for the form's own background) does.
  void on(const std::string& control, Event event, Handler handler);

 protected:
  virtual void createControls() = 0;
  virtual void Form_Load() {}
  // What Alt+F4 means on this screen; ignored unless a screen says otherwise.
  virtual void onSystemClose() {}
  // An arrow key on the focused item that no general rule takes (the main
  // window's tiles); true when the screen handled it.
  virtual bool arrowKey(Key) { return false; }
  // Moves the focus to an item, as a key does (a setting shows its description).
  void focusByKeyboard(int index);

  void setBackground(std::string pictureId) { background_ = std::move(pictureId); }
  void withoutTaskbarButton() { taskbarButton_ = false; }
  void onceOnly() { shownOnce_ = true; }

 private:
  void dispatch(Control* target, Event event, const EventArgs& args);
  EventArgs argsFor(Control* target, double x, double y, int button) const;
  // Keyboard and default actions: a click through the same events as the
  // mouse's, a box toggled, an option chosen.
  void pressItem(int index);
  void toggleItem(int index);
  void toggle(Control* target, bool keyboard);
  void moveFocus(int step);
  void moveInGroup(int step);
  int itemNamed(const std::string& name) const;
  // The items Tab stops at, in order.
  std::vector<int> tabStops() const;
  void setFocus(int index);
  void showFocusCues(bool shown);

  Runtime& runtime_;
  Navigator& navigator_;
  Screen kind_;
  std::string name_;
  std::string caption_;
  int width_;
  int height_;
  std::string background_;
  bool taskbarButton_ = true;
  bool shownOnce_ = false;

  bool loaded_ = false;
  bool creating_ = false;
  bool visible_ = false;
  WindowHandle window_ = 0;
  int windowState_ = 0;
  Colour backColor_ = kButtonFace;
  std::vector<std::unique_ptr<Control>> controls_;
  std::map<std::pair<std::string, Event>, Handler> handlers_;
  std::vector<Item> items_;
  std::string defaultItem_, escapeItem_, describedBy_;
  int focus_ = -1;
  bool focusCues_ = false;

  // Pointer capture: the control (or the background, nullptr) that took the
  // first press, and the buttons held since.
  bool captured_ = false;
  Control* captureTarget_ = nullptr;
  int buttonsDown_ = 0;
  unsigned loadGeneration_ = 0;
};

}  // namespace velmora
