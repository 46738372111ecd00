#pragma once
// What the desktop and security pages share: a settings frame of seven check
// boxes, each with its hover text and its touched flag, and a save that
// writes the touched boxes in order. The flags belong to the page object, so
// a box pressed on a visit that ended with back or close is still written by
// a later save; only a save that wrote a box lowers its flag.
#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>

#include "shell/framework/SettingsPage.h"

namespace velmora {

class CheckBoxPage : public SettingsPage {
 public:
  static constexpr int kBoxCount = 7;
  struct Box {
    const char* caption;
    double width;
    double height;
    const char* description;
    const char* note;
  };
  struct Layout {
    const char* frameCaption;
    double frameTop;
    double noteWidth;
  };

 protected:
  CheckBoxPage(const FormContext& context, std::string name, std::string caption, Layout layout,
               const std::array<Box, kBoxCount>& boxes);

  void createPageControls() override;
  bool saveSettings() override;
  // Puts what the box's state stands for into the registry.
  virtual RegResult<bool> writeBox(int index, bool ticked, RegistryShellObject& shell) = 0;

  // index 0 is `Check1`.
  static std::string boxName(int index);
  Control& box(int index) { return c(boxName(index)); }
  // `Frame1`, `Frame2`, `Label1`, `Label2`, then the boxes in order.
  void paintControlsBlue();
  // On anything but Windows XP: the not-XP default hint, and the named
  // boxes disabled in the order given (they keep their ticks).
  void limitUnlessXp(std::initializer_list<int> lockedBoxes);

 private:
  Layout layout_;
  std::array<Box, kBoxCount> boxes_;
  std::array<std::int16_t, kBoxCount> touched_{};
};

}  // namespace velmora
