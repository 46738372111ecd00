#include "shell/framework/Form.h"

#include <algorithm>
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
  items_.clear();
  defaultItem_.clear();
  escapeItem_.clear();
  describedBy_.clear();
  focus_ = -1;
  focusCues_ = false;
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
  // The first item a user can use has the focus when the screen opens.
  const std::vector<int> stops = tabStops();
  if (!stops.empty()) focus_ = stops.front();
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

void Form::addItem(Item item) {
  for (const std::string& part : item.parts)
    if (!find(part)) throw std::logic_error(name_ + " has no control " + part + " for item " + item.name);
  items_.push_back(std::move(item));
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
    showFocusCues(false);
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
    if (loaded_) toggle(find(control), false);
  });
}

void Form::toggle(Control* target, bool keyboard) {
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
  EventArgs args;
  args.keyboard = keyboard;
  dispatch(target, Event::Click, args);
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

// --- the keyboard -----------------------------------------------------------

bool Form::keyDown(Key key, bool shift) {
  bool handled = false;
  runtime_.guard([&] {
    if (!loaded_) return;
    showFocusCues(true);
    const Item* focused = focus_ >= 0 ? &items_[static_cast<std::size_t>(focus_)] : nullptr;
    const Role role = focused ? focused->role : Role::Graphic;
    const bool button = role == Role::PushButton || role == Role::Link;
    switch (key) {
      case Key::Tab:
        moveFocus(shift ? -1 : 1);
        handled = true;
        return;
      case Key::Escape:
        // A page's way back; nothing on the main window.
        if (const int back = itemNamed(escapeItem_); back >= 0 && itemAvailable(back)) pressItem(back);
        handled = true;
        return;
      case Key::Enter:
        if (focused && focused->setting) {
          if (const int save = itemNamed(defaultItem_); save >= 0 && itemAvailable(save)) pressItem(save);
        } else if (focused && button && itemAvailable(focus_)) {
          pressItem(focus_);
        }
        handled = true;  // never a character: a text box would take it as typed
        return;
      case Key::Space:
        if (!focused || !itemAvailable(focus_)) return;
        if (button) pressItem(focus_);
        if (role == Role::CheckButton || role == Role::RadioButton) toggleItem(focus_);
        handled = button || role == Role::CheckButton || role == Role::RadioButton;
        return;
      case Key::Left:
      case Key::Right:
      case Key::Up:
      case Key::Down:
        if (role == Role::EditableText) return;  // moves the caret, scrolls the text
        if (role == Role::RadioButton) {
          moveInGroup(key == Key::Left || key == Key::Up ? -1 : 1);
          handled = true;
          return;
        }
        handled = arrowKey(key);
        return;
    }
  });
  return handled;
}

void Form::focusTaken(const std::string& control) {
  runtime_.guard([&] {
    if (!loaded_) return;
    if (const int index = itemOf(control); index >= 0 && itemAvailable(index)) setFocus(index);
  });
}

std::vector<int> Form::tabStops() const {
  std::vector<int> stops;
  std::map<std::string, int> groupStop;  // an option group stops once: at the focused, else the selected option
  for (std::size_t i = 0; i < items_.size(); ++i) {
    const int index = static_cast<int>(i);
    const Item& item = items_[i];
    if (!item.tabStop || !itemAvailable(index)) continue;
    if (item.group.empty()) {
      stops.push_back(index);
      continue;
    }
    auto [it, first] = groupStop.emplace(item.group, static_cast<int>(stops.size()));
    if (first) {
      stops.push_back(index);
    } else if (index == focus_ || (stops[static_cast<std::size_t>(it->second)] != focus_ && itemState(index).checked)) {
      stops[static_cast<std::size_t>(it->second)] = index;
    }
  }
  return stops;
}

void Form::moveFocus(int step) {
  const std::vector<int> stops = tabStops();
  if (stops.empty()) return;
  const auto at = std::find(stops.begin(), stops.end(), focus_);
  const int count = static_cast<int>(stops.size());
  int next = step > 0 ? 0 : count - 1;
  if (at != stops.end()) next = (static_cast<int>(at - stops.begin()) + step + count) % count;
  focusByKeyboard(stops[static_cast<std::size_t>(next)]);
}

void Form::moveInGroup(int step) {
  const std::string& group = items_[static_cast<std::size_t>(focus_)].group;
  std::vector<int> members;
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i].group == group && itemAvailable(static_cast<int>(i))) members.push_back(static_cast<int>(i));
  const auto at = std::find(members.begin(), members.end(), focus_);
  if (members.empty() || at == members.end()) return;
  const int count = static_cast<int>(members.size());
  const int next = members[static_cast<std::size_t>((static_cast<int>(at - members.begin()) + step + count) % count)];
  focusByKeyboard(next);
  toggleItem(next);  // the arrows choose as they go, as in a dialog
}

void Form::focusByKeyboard(int index) {
  const unsigned generation = loadGeneration_;
  setFocus(index);
  const Item& item = items_[static_cast<std::size_t>(index)];
  // A setting shows its description as when the pointer rests on it.
  if (item.setting && loaded_ && generation == loadGeneration_) {
    Control* shown = find(item.parts.front());
    dispatch(shown, Event::MouseMove, argsFor(shown, shown->formRect().left, shown->formRect().top, 0));
  }
}

void Form::setFocus(int index) {
  if (index == focus_) return;
  focus_ = index;
  if (loaded_ && window_) services().windows.FocusChanged(window_);
}

void Form::showFocusCues(bool shown) {
  if (shown == focusCues_) return;
  focusCues_ = shown;
  if (loaded_ && window_ && focus_ >= 0) services().windows.FocusChanged(window_);
}

// A left click on the item through the events the mouse would bring: the
// pointer onto its picture at rest (the hover look), the press and the
// release on the picture that takes them (the pressed look, the action),
// the click. Any of them may leave the screen.
void Form::pressItem(int index) {
  const Item item = items_[static_cast<std::size_t>(index)];
  Control* rest = find(item.parts.front());
  Control* target = item.parts.size() > 1 ? find(item.parts[1]) : rest;
  const unsigned generation = loadGeneration_;
  auto here = [&] { return loaded_ && generation == loadGeneration_; };
  auto at = [&](Control* control, int button) {
    const Rect r = control->formRect();
    return argsFor(control, r.left + r.width / 2, r.top + r.height / 2, button);
  };
  if (item.parts.size() > 1 && rest->Visible()) dispatch(rest, Event::MouseMove, at(rest, 0));
  if (here()) dispatch(target, Event::MouseDown, at(target, button::kLeft));
  if (here()) dispatch(target, Event::MouseUp, at(target, button::kLeft));
  if (!here()) return;
  EventArgs click = at(target, button::kLeft);
  click.keyboard = true;
  dispatch(target, Event::Click, click);
}

void Form::toggleItem(int index) { toggle(find(items_[static_cast<std::size_t>(index)].parts.front()), true); }

// --- items as a screen reader reads them ------------------------------------------

int Form::itemNamed(const std::string& name) const {
  if (name.empty()) return -1;
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i].name == name) return static_cast<int>(i);
  return -1;
}

int Form::itemOf(const std::string& control) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    for (const std::string& part : items_[i].parts)
      if (part == control) return static_cast<int>(i);
  return -1;
}

bool Form::itemAvailable(int index) const {
  if (!loaded_ || index < 0 || index >= static_cast<int>(items_.size())) return false;
  bool shown = false;
  for (const std::string& part : items_[static_cast<std::size_t>(index)].parts) {
    const Control* control = find(part);
    if (!control || !control->Enabled()) return false;
    shown = shown || control->Visible();
  }
  return shown;
}

ItemState Form::itemState(int index) const {
  ItemState state;
  if (index < 0 || index >= static_cast<int>(items_.size())) return state;
  const Item& item = items_[static_cast<std::size_t>(index)];
  const Control* first = find(item.parts.front());
  state.focused = index == focus_;
  state.unavailable = false;
  for (const std::string& part : item.parts)
    if (const Control* control = find(part); control && !control->Enabled()) state.unavailable = true;
  state.focusable = item.role != Role::StaticText && item.role != Role::Graphic && !state.unavailable &&
                    (item.tabStop || !item.group.empty());
  state.checked = (item.role == Role::CheckButton || item.role == Role::RadioButton) && first && first->Value() == 1;
  state.readOnly = item.role == Role::EditableText && first && first->Locked();
  return state;
}

std::string Form::itemName(int index) const {
  const Item& item = items_.at(static_cast<std::size_t>(index));
  if (item.role == Role::StaticText)
    if (const Control* label = find(item.parts.front())) return label->Caption();
  return item.name;
}

std::string Form::itemValue(int index) const {
  const Item& item = items_.at(static_cast<std::size_t>(index));
  const Control* first = find(item.parts.front());
  return item.role == Role::EditableText && first ? first->Text() : std::string();
}

std::string Form::itemDescription(int index) const {
  const Item& item = items_.at(static_cast<std::size_t>(index));
  if (!item.setting || index != focus_) return {};
  const Control* label = describedBy_.empty() ? nullptr : find(describedBy_);
  return label ? label->Caption() : std::string();
}

Rect Form::itemPlace(int index) const {
  const Item& item = items_.at(static_cast<std::size_t>(index));
  for (const std::string& part : item.parts)
    if (const Control* control = find(part); control && control->Visible()) return control->formRect();
  const Control* first = find(item.parts.front());
  return first ? first->formRect() : Rect{};
}

std::string Form::itemAction(int index) const {
  const Item& item = items_.at(static_cast<std::size_t>(index));
  switch (item.role) {
    case Role::PushButton: return "按下";
    case Role::Link: return "打开";
    case Role::CheckButton: return itemState(index).checked ? "取消勾选" : "勾选";
    case Role::RadioButton: return "选择";
    default: return {};
  }
}

bool Form::doDefaultAction(int index) {
  bool done = false;
  runtime_.guard([&] {
    if (!itemAvailable(index) || itemAction(index).empty()) return;
    done = true;
    const Role role = items_[static_cast<std::size_t>(index)].role;
    if (role == Role::CheckButton || role == Role::RadioButton) {
      setFocus(index);
      toggleItem(index);
    } else {
      pressItem(index);
    }
  });
  return done;
}

void Form::releaseCapture() {
  captured_ = false;
  captureTarget_ = nullptr;
  buttonsDown_ = 0;
}

}  // namespace velmora
