#pragma once
// What the setting pages share: title bar and drag, close pair, the save and
// back buttons, and the description box that shows the hovered option.
#include <string>

#include "shell/framework/Form.h"

namespace velmora {

inline constexpr const char* kDefaultNote = "更多功能？请期待新版本。。。";
inline constexpr const char* kChooseHint = "请您在上面的选项中进行选择。";

// The frame that holds a page's settings, and the description box below it.
inline constexpr const char* kSettingsFrame = "Frame1";
inline constexpr const char* kDescriptionFrame = "Frame2";

class SettingsPage : public Form {
 public:
  enum class DragOn { MouseMove, MouseDown };
  enum class CloseSwitch { UnloadFirst, ShowFirst };
  struct Style {
    Colour key = kRed;
    DragOn drag = DragOn::MouseMove;
    CloseSwitch close = CloseSwitch::UnloadFirst;
    const char* descriptionLabel = "Label1";
    const char* noteLabel = "Label2";
  };

  // The page-level text the description label shows over the background.
  const std::string& defaultHint() const { return defaultHint_; }

 protected:
  SettingsPage(const FormContext& context, std::string name, std::string caption, Style style);

  void createControls() final;
  // The page's own controls, created after the shared ones.
  virtual void createPageControls() {}
  // The skin set-up; pages extend it with their own load steps.
  void Form_Load() override;
  // Writes what the user chose; false keeps the page open.
  virtual bool saveSettings() { return true; }
  void onSystemClose() override { Image3_Click(); }

  // The description box at (left, 264), 337 x 73, captioned "描述", holding
  // the description label (two lines) and the note label (one line), both
  // white, named as the page's style says.
  void addDescriptionBox(double left, double descriptionWidth, double noteWidth);
  void showDescription(const std::string& description, const std::string& note);
  void setDefaultHint(std::string hint) { defaultHint_ = std::move(hint); }
  const Style& style() const { return style_; }

 private:
  void Form_MouseMove();
  void Frame1_MouseMove();
  void Picture1_MouseMove(const EventArgs& args);
  void Image3_Click();
  void Image4_MouseUp();
  void Image6_MouseUp();

  Style style_;
  std::string defaultHint_;
};

}  // namespace velmora
