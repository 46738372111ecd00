#pragma once
// One control of a form: a picture, picture box, label, frame, check box,
// option button, text box or timer, with the properties the screens use.
// Positions are kept in twips (15 to the pixel) so that the thirds of a
// pixel in the layouts stay exact.
#include <cmath>
#include <optional>
#include <string>

#include "platform/Types.h"

namespace velmora {

class Form;

enum class ControlKind { Image, PictureBox, Label, Frame, CheckBox, OptionButton, TextBox, Timer };

enum class CursorShape { Arrow, Hand };

struct Font {
  std::string face = "微软雅黑";
  double points = 9;
  bool bold = false;
  int charset = 134;  // GB2312
};

constexpr int kTwipsPerPixel = 15;
constexpr int kTwipsPerPoint = 20;
// The DPI the layout is drawn for: 1440 twips to the inch.
constexpr int kDesignDpi = 1440 / kTwipsPerPixel;
inline int twips(double pixels) { return static_cast<int>(std::lround(pixels * kTwipsPerPixel)); }

// A font as the view asks the system for it. The layout is fixed in pixels
// (pictures, window sizes, control boxes), so its text is too: a point size
// becomes the pixel height it has at 96 DPI, the layout's 15 twips to the
// pixel (9 pt: 12 pixels, 10.5 pt: 14), whatever DPI the system reports
// (`systemDpi`, which the view reads from the screen and hands over so that
// the tests can feed every DPI), and every caption fits the box drawn for
// it on every display.
struct FontRequest {
  std::string face;
  int pixelHeight = 0;  // the character height, internal leading left out
  int weight = 400;     // 400 regular, 700 bold
  int charset = 0;
};
FontRequest fontRequest(const Font& font, int systemDpi);

struct Rect {
  double left = 0, top = 0, width = 0, height = 0;
  bool contains(double x, double y) const {
    return x >= left && y >= top && x < left + width && y < top + height;
  }
};

class Control {
 public:
  Control(Form& form, std::string name, ControlKind kind, Control* container);

  const std::string& name() const { return name_; }
  ControlKind kind() const { return kind_; }
  Control* container() const { return container_; }
  Form& form() const { return form_; }
  // Windowed controls are drawn above the windowless ones (images, labels)
  // of the same container, as real child windows are.
  bool windowed() const;

  // Position relative to the container, in twips and in pixels.
  int leftTwips() const { return left_; }
  int topTwips() const { return top_; }
  int widthTwips() const { return width_; }
  int heightTwips() const { return height_; }
  Rect rect() const;
  // Position relative to the form's client area.
  Rect formRect() const;

  bool Visible() const { return visible_; }
  bool Enabled() const { return enabled_; }
  const std::string& Caption() const { return caption_; }
  const std::string& Picture() const { return picture_; }
  std::optional<Colour> BackColor() const { return backColor_; }
  Colour ForeColor() const { return foreColor_; }
  bool BackTransparent() const { return backTransparent_; }
  const velmora::Font& Font() const { return font_; }
  CursorShape Cursor() const { return cursor_; }
  const std::string& ToolTipText() const { return toolTip_; }
  // Check box: 0 unticked, 1 ticked. Option button: 1 selected.
  int Value() const { return value_; }
  const std::string& Text() const { return text_; }
  bool Locked() const { return locked_; }
  bool MultiLine() const { return multiLine_; }
  bool Border() const { return border_; }
  int Interval() const { return interval_; }

  // Setters report the change to the form's window (if it has one): the
  // visibility, state and texts only when they change, the colours and the
  // timer interval every time they are set.
  void setVisible(bool visible);
  void setEnabled(bool enabled);
  void setCaption(std::string caption);
  void setBackColor(Colour colour);
  void setForeColor(Colour colour);
  void setValue(int value);
  void setText(std::string text);
  void setInterval(int milliseconds);

  // Initial-state builders, used while the form creates its controls.
  Control& at(double left, double top, double width, double height);
  Control& at(const Rect& place) { return at(place.left, place.top, place.width, place.height); }
  Control& hidden();
  Control& disabled();
  Control& picture(std::string id);
  Control& caption(std::string text);
  Control& hand();
  Control& toolTip(std::string text);
  Control& foreColor(Colour colour);
  Control& backColor(Colour colour);
  Control& transparentBack();
  Control& font(velmora::Font font);
  Control& value(int value);
  Control& text(std::string text);
  Control& readOnlyMultiLine();
  Control& noBorder();
  Control& interval(int milliseconds);

 private:
  enum class Report { IfChanged, Always };
  // Sets one property and tells the form, as `report` says.
  template <class T, class V>
  void update(T& property, V&& value, Report report);

  Form& form_;
  std::string name_;
  ControlKind kind_;
  Control* container_;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  std::string caption_;
  std::string picture_;
  std::optional<Colour> backColor_;
  Colour foreColor_ = kBlack;
  bool backTransparent_ = false;
  velmora::Font font_;
  CursorShape cursor_ = CursorShape::Arrow;
  std::string toolTip_;
  int value_ = 0;
  std::string text_;
  bool locked_ = false;
  bool multiLine_ = false;
  bool border_ = true;
  int interval_ = 0;
};

}  // namespace velmora
