#include "shell/framework/Control.h"

#include <cmath>
#include <utility>

#include "shell/framework/Form.h"

namespace velmora {

FontRequest fontRequest(const Font& font, [[maybe_unused]] int systemDpi) {
  const double pixels = font.points * kTwipsPerPoint / kTwipsPerPixel;
  return {.face = font.face,
          .pixelHeight = static_cast<int>(std::lround(pixels)),
          .weight = font.bold ? 700 : 400,
          .charset = font.charset};
}

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

template <class T, class V>
void Control::update(T& property, V&& value, Report report) {
  if (report == Report::IfChanged && property == value) return;
  property = std::forward<V>(value);
  form_.controlChanged(*this);
}

void Control::setVisible(bool visible) { update(visible_, visible, Report::IfChanged); }
void Control::setEnabled(bool enabled) { update(enabled_, enabled, Report::IfChanged); }
void Control::setCaption(std::string caption) { update(caption_, std::move(caption), Report::IfChanged); }
void Control::setValue(int value) { update(value_, value, Report::IfChanged); }
void Control::setText(std::string text) { update(text_, std::move(text), Report::IfChanged); }
void Control::setBackColor(Colour colour) {
  backTransparent_ = false;
  update(backColor_, std::optional<Colour>(colour), Report::Always);
}
void Control::setForeColor(Colour colour) { update(foreColor_, colour, Report::Always); }
void Control::setInterval(int milliseconds) { update(interval_, milliseconds, Report::Always); }

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
