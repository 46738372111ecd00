#include "shell/framework/Control.h"

#include <utility>

#include "shell/framework/Form.h"

namespace velmora {

Control::Control(Form& form, std::string name, ControlKind kind, Control* container)
    : form_(form), name_(std::move(name)), kind_(kind), container_(container) {}

bool Control::windowed() const {
  switch (kind_) {
    case ControlKind::PictureBox:
    case ControlKind::Frame:
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
    case ControlKind::TextBox:
      return true;
    default:
      return false;
  }
}

Rect Control::rect() const {
  constexpr double k = kTwipsPerPixel;
  return {left_ / k, top_ / k, width_ / k, height_ / k};
}

Rect Control::formRect() const {
  Rect r = rect();
  for (const Control* c = container_; c; c = c->container()) {
    r.left += c->rect().left;
    r.top += c->rect().top;
  }
  return r;
}

void Control::changed() { form_.controlChanged(*this); }

void Control::setVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  changed();
}
void Control::setEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  changed();
}
void Control::setCaption(std::string caption) {
  if (caption_ == caption) return;
  caption_ = std::move(caption);
  changed();
}
void Control::setBackColor(Colour colour) {
  backColor_ = colour;
  backTransparent_ = false;
  changed();
}
void Control::setForeColor(Colour colour) {
  foreColor_ = colour;
  changed();
}
void Control::setValue(int value) {
  if (value_ == value) return;
  value_ = value;
  changed();
}
void Control::setText(std::string text) {
  if (text_ == text) return;
  text_ = std::move(text);
  changed();
}
void Control::setInterval(int milliseconds) {
  interval_ = milliseconds;
  changed();
}

Control& Control::at(double left, double top, double width, double height) {
  left_ = twips(left);
  top_ = twips(top);
  width_ = twips(width);
  height_ = twips(height);
  return *this;
}
Control& Control::hidden() { visible_ = false; return *this; }
Control& Control::disabled() { enabled_ = false; return *this; }
Control& Control::picture(std::string id) { picture_ = std::move(id); return *this; }
Control& Control::caption(std::string text) { caption_ = std::move(text); return *this; }
Control& Control::hand() { cursor_ = CursorShape::Hand; return *this; }
Control& Control::toolTip(std::string text) { toolTip_ = std::move(text); return *this; }
Control& Control::foreColor(Colour colour) { foreColor_ = colour; return *this; }
Control& Control::backColor(Colour colour) { backColor_ = colour; return *this; }
Control& Control::transparentBack() { backTransparent_ = true; return *this; }
Control& Control::font(velmora::Font font) { font_ = std::move(font); return *this; }
Control& Control::value(int value) { value_ = value; return *this; }
Control& Control::text(std::string text) { text_ = std::move(text); return *this; }
Control& Control::readOnlyMultiLine() { locked_ = true; multiLine_ = true; return *this; }
Control& Control::noBorder() { border_ = false; return *this; }
Control& Control::interval(int milliseconds) { interval_ = milliseconds; return *this; }

}  // namespace velmora
