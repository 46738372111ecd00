#pragma once
// The Pinnote page: the companion sticky-note program's three options, read
// from the settings store on every entry and written back, only where the
// user touched them, when the save button is released.
#include <cstdint>

#include "shell/framework/SettingsPage.h"

namespace velmora {

class DLB : public SettingsPage {
 public:
  explicit DLB(const FormContext& context);

 protected:
  void createPageControls() override;
  void Form_Load() override;
  bool saveSettings() override;

 private:
  void showStoredOptions();
  void paintPageBlue();
  void selectOption(const char* option);
  void pickColour(const char* colourWord);

  // Raised by the user and never cleared for the rest of the run: an option
  // touched on an earlier visit is still written at a later save.
  std::int16_t frontTouched_ = 0;
  std::int16_t skinTouched_ = 0;
  std::int16_t colourTouched_ = 0;
};

}  // namespace velmora
