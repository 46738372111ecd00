#pragma once
// A headless desktop: the real screens over the fake platform, with mouse
// and keyboard input delivered to named controls as Windows would deliver
// it (the press captures the pointer; a native control pressed with the left
// button takes the focus; a check box toggles on a click that ends inside
// it; the keys of the page go to the form).
#include <stdexcept>
#include <string>
#include <vector>

#include "program/Program.h"
#include "support/FakePlatform.h"

namespace velmora::testing {

struct Point {
  double x, y;
};

class TestDesktop {
 public:
  TestDesktop() : app(fake.services) {}

  // Starts the program and runs the splash to the main window.
  void startToMainWindow() {
    app.start();
    for (int tick = 0; tick < 15 && !app.form(Screen::FormMain).visible(); ++tick) tickSplash();
  }
  void tickSplash() { app.form(Screen::FormLoad).timerTick("Timer1"); }

  // The one screen on view (throws unless exactly one is).
  Form& shown() {
    const auto names = fake.windowing.visibleNames();
    if (names.size() != 1) throw std::logic_error("screens on view: " + std::to_string(names.size()));
    for (auto& [handle, form] : fake.windowing.forms)
      if (fake.windowing.visible.count(handle)) return *form;
    throw std::logic_error("no screen on view");
  }
  std::string shownName() { return shown().name(); }

  // A point where the named control takes the pointer.
  Point pointOn(const std::string& control) {
    Form& form = shown();
    const Control& target = form.c(control);
    const Rect r = target.formRect();
    for (double fy : {0.5, 0.25, 0.75, 0.1, 0.9})
      for (double fx : {0.5, 0.25, 0.75, 0.1, 0.9}) {
        const Point p{r.left + r.width * fx, r.top + r.height * fy};
        if (form.controlAt(p.x, p.y) == &target) return p;
      }
    throw std::logic_error(control + " takes the pointer nowhere");
  }

  void moveTo(const std::string& control, int mask = 0) { moveTo(pointOn(control), mask); }
  void moveTo(Point p, int mask = 0) {
    pointer = p;
    shown().mouseMove(p.x, p.y, mask | held);
  }
  void press(int button = button::kLeft) {
    Form& form = shown();
    if (held == 0) {
      pressedOn = &form;
      pressTarget_ = form.controlAt(pointer.x, pointer.y);
    }
    held |= button;
    // A native control takes the focus as the left button goes down on it.
    if (button == button::kLeft && held == button::kLeft)
      if (Control* under = form.controlAt(pointer.x, pointer.y); under && isNative(*under)) form.focusTaken(under->name());
    form.mouseDown(pointer.x, pointer.y, button);
  }
  // The release goes to the window that took the press.
  void release(int button = button::kLeft) {
    held &= ~button;
    Form* form = pressedOn;
    if (!form || !form->loaded()) return;
    const std::string toggled = toggleTarget(*form);
    form->mouseUp(pointer.x, pointer.y, button);
    if (button == button::kLeft && !toggled.empty() && form->loaded()) form->userToggle(toggled);
  }
  void click(const std::string& control, int button = button::kLeft) {
    moveTo(control);
    press(button);
    release(button);
  }
  // A key of the page; false when the form leaves it to the focused control.
  bool key(Key k, bool shift = false) { return shown().keyDown(k, shift); }
  // The space bar on a check box or option button, focused first as a click on it would.
  void space(const std::string& control) {
    shown().focusTaken(control);
    key(Key::Space);
  }
  void type(const std::string& control, int keyAscii) { shown().keyPress(control, keyAscii); }
  // The name of the item with the focus, "" for none.
  std::string focused() {
    Form& form = shown();
    return form.focusedItem() < 0 ? std::string() : form.itemName(form.focusedItem());
  }

  FakePlatform fake;
  Program app;
  Point pointer{0, 0};
  int held = 0;

 private:
  // A native check box or option button toggles when the left click that
  // pressed it ends inside it.
  std::string toggleTarget(Form& form) {
    Control* under = form.controlAt(pointer.x, pointer.y);
    if (!under) return {};
    if (under->kind() != ControlKind::CheckBox && under->kind() != ControlKind::OptionButton) return {};
    if (pressTarget_ != under) return {};
    return under->name();
  }

  static bool isNative(const Control& c) {
    return c.kind() == ControlKind::CheckBox || c.kind() == ControlKind::OptionButton ||
           c.kind() == ControlKind::TextBox;
  }

  Form* pressedOn = nullptr;
  Control* pressTarget_ = nullptr;
};

}  // namespace velmora::testing
