#include "shell/framework/Form.h"

#include <stdexcept>

namespace velmora {

Form::Form(const FormContext& context, std::string name, std::string caption, int widthPixels,
           int heightPixels)
    : runtime_(context.runtime), navigator_(context.navigator), kind_(context.kind), name_(std::move(name)),
      caption_(std::move(caption)), width_(widthPixels), height_(heightPixels) {
  runtime_.enrol(*this);
}

Form::~Form() { runtime_.withdraw(*this); }

WindowHandle Form::hWnd() {
  load();
  return window_;
}

void Form::load() {
  if (loaded_ || creating_) return;
  runtime_.checkRunning();
  controls_.clear();
  backColor_ = kButtonFace;
  windowState_ = 0;
  visible_ = false;
  captured_ = false;
  buttonsDown_ = 0;
  creating_ = true;
  try {
    createControls();
  } catch (...) {
    creating_ = false;
    throw;
  }
  creating_ = false;
  loaded_ = true;
  ++loadGeneration_;
  try {
    window_ = services().windows.CreateFormWindow(*this);
  } catch (...) {
    loaded_ = false;
    controls_.clear();
    throw;
  }
  Form_Load();
}

void Form::show() {
  load();
  if (visible_) return;
  visible_ = true;
  services().windows.ShowFormWindow(window_);
}

void Form::hide() {
  load();
  if (!visible_) return;
  visible_ = false;
  services().windows.HideFormWindow(window_);
}

void Form::unload() {
  if (!loaded_) return;
  const WindowHandle window = window_;
  loaded_ = false;
  visible_ = false;
  window_ = 0;
  captured_ = false;
  captureTarget_ = nullptr;
  services().windows.DestroyFormWindow(window);
  controls_.clear();
}

void Form::setWindowState(int state) {
  load();
  windowState_ = state;
  services().windows.SetWindowState(window_, state);
}

void Form::setBackColor(Colour colour) {
  load();
  backColor_ = colour;
  services().windows.FormChanged(window_);
}

Control& Form::c(const std::string& name) {
  load();
  if (Control* control = find(name)) return *control;
  throw std::logic_error(name_ + " has no control " + name);
}

Control* Form::find(const std::string& name) const {
  for (const auto& control : controls_)
    if (control->name() == name) return control.get();
  return nullptr;
}

Control& Form::add(const std::string& name, ControlKind kind, Control* container) {
  controls_.push_back(std::make_unique<Control>(*this, name, kind, container));
  return *controls_.back();
}

void Form::on(const std::string& control, Event event, Handler handler) {
  handlers_[{control, event}] = std::move(handler);
}

void Form::controlChanged(const Control& control) {
  if (loaded_ && window_) services().windows.ControlChanged(window_, control);
}

namespace {

// The deepest control under a point, topmost first within each container:
// windowed controls above windowless ones, later controls above earlier ones.
Control* deepestAt(const std::vector<std::unique_ptr<Control>>& controls, const Control* container,
                   double x, double y) {
  for (bool windowed : {true, false}) {
    for (auto it = controls.rbegin(); it != controls.rend(); ++it) {
      Control& c = **it;
      if (c.container() != container || c.windowed() != windowed) continue;
      if (!c.Visible() || c.kind() == ControlKind::Timer) continue;
      if (!c.formRect().contains(x, y)) continue;
      if (Control* inner = deepestAt(controls, &c, x, y)) return inner;
      return &c;
    }
  }
  return nullptr;
}

}  // namespace

Control* Form::controlAt(double x, double y) const {
  Control* hit = deepestAt(controls_, nullptr, x, y);
  while (hit && !hit->Enabled()) hit = hit->container();
  return hit;
}

EventArgs Form::argsFor(Control* target, double x, double y, int button) const {
  EventArgs args;
  args.button = button;
  const Rect r = target ? target->formRect() : Rect{};
  args.x = x - r.left;
  args.y = y - r.top;
  return args;
}

void Form::dispatch(Control* target, Event event, const EventArgs& args) {
  const auto it = handlers_.find({target ? target->name() : std::string(), event});
  if (it != handlers_.end()) it->second(args);
}

void Form::mouseMove(double x, double y, int buttonMask) {
  runtime_.guard([&] {
    if (!loaded_) return;
    if (captured_ && buttonMask == 0) releaseCapture();
    Control* target = captured_ ? captureTarget_ : controlAt(x, y);
    dispatch(target, Event::MouseMove, argsFor(target, x, y, buttonMask));
  });
}

void Form::mouseDown(double x, double y, int button) {
  runtime_.guard([&] {
    if (!loaded_) return;
    if (!captured_) {
      captured_ = true;
      captureTarget_ = controlAt(x, y);
    }
    buttonsDown_ |= button;
    Control* target = captureTarget_;
    dispatch(target, Event::MouseDown, argsFor(target, x, y, button));
  });
}

void Form::mouseUp(double x, double y, int button) {
  runtime_.guard([&] {
    if (!loaded_ || !captured_) return;
    Control* target = captureTarget_;
    buttonsDown_ &= ~button;
    if (buttonsDown_ == 0) captured_ = false;
    const unsigned generation = loadGeneration_;
    dispatch(target, Event::MouseUp, argsFor(target, x, y, button));
    // A left click on a picture or label counts when it ends over the same
    // control; check boxes and option buttons report theirs through userToggle.
    if (!loaded_ || generation != loadGeneration_) return;
    if (button != button::kLeft || !target || target->windowed()) return;
    if (controlAt(x, y) == target) dispatch(target, Event::Click, argsFor(target, x, y, button));
  });
}

void Form::keyPress(const std::string& control, int keyAscii) {
  runtime_.guard([&] {
    if (!loaded_) return;
    Control* target = find(control);
    if (!target || !target->Enabled()) return;
    EventArgs args;
    args.keyAscii = keyAscii;
    dispatch(target, Event::KeyPress, args);
  });
}

void Form::userToggle(const std::string& control) {
  runtime_.guard([&] {
    if (!loaded_) return;
    Control* target = find(control);
    if (!target || !target->Enabled()) return;
    if (target->kind() == ControlKind::CheckBox) {
      target->setValue(target->Value() ? 0 : 1);
    } else if (target->kind() == ControlKind::OptionButton) {
      for (const auto& other : controls_)
        if (other->kind() == ControlKind::OptionButton && other->container() == target->container())
          other->setValue(other.get() == target ? 1 : 0);
    } else {
      return;
    }
    dispatch(target, Event::Click, EventArgs{});
  });
}

void Form::timerTick(const std::string& timer) {
  runtime_.guard([&] {
    if (!loaded_) return;
    Control* target = find(timer);
    if (!target || !target->Enabled()) return;
    dispatch(target, Event::Timer, EventArgs{});
  });
}

void Form::systemClose() {
  runtime_.guard([&] {
    if (loaded_) onSystemClose();
  });
}

void Form::releaseCapture() {
  captured_ = false;
  captureTarget_ = nullptr;
  buttonsDown_ = 0;
}

}  // namespace velmora
