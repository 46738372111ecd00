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
#include "shell/framework/Navigator.h"
#include "shell/framework/Runtime.h"

namespace velmora {

enum class Event { MouseMove, MouseDown, MouseUp, Click, KeyPress, Timer };

struct EventArgs {
  int button = 0;  // one button for MouseDown/MouseUp, the held mask for MouseMove
  double x = 0, y = 0;  // pixels, relative to the control
  int keyAscii = 0;
};

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
  // The pointer capture ends (a drag hands the pointer to the window manager).
  void releaseCapture();

  // Called by a control whose property changed.
  void controlChanged(const Control& control);

  // Creates a control in its initial state; only while the form loads.
  Control& add(const std::string& name, ControlKind kind, Control* container = nullptr);
  // What an event of a control ("" for the form's own background) does.
  void on(const std::string& control, Event event, Handler handler);

 protected:
  virtual void createControls() = 0;
  virtual void Form_Load() {}
  // What Alt+F4 means on this screen; ignored unless a screen says otherwise.
  virtual void onSystemClose() {}

  void setBackground(std::string pictureId) { background_ = std::move(pictureId); }
  void withoutTaskbarButton() { taskbarButton_ = false; }
  void onceOnly() { shownOnce_ = true; }

 private:
  void dispatch(Control* target, Event event, const EventArgs& args);
  EventArgs argsFor(Control* target, double x, double y, int button) const;

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

  // Pointer capture: the control (or the background, nullptr) that took the
  // first press, and the buttons held since.
  bool captured_ = false;
  Control* captureTarget_ = nullptr;
  int buttonsDown_ = 0;
  unsigned loadGeneration_ = 0;
};

}  // namespace velmora
