#pragma once
// The browser-title page: the text Internet Explorer shows in its title bar.
#include <cstdint>

#include "shell/framework/SettingsPage.h"

namespace velmora {

class Form3 : public SettingsPage {
 public:
  explicit Form3(const FormContext& context);

 protected:
  void createPageControls() override;
  void Form_Load() override;
  bool saveSettings() override;

 private:
  // 1 once a typed character reached the title box since the last save that
  // wrote the title; kept while the page is unloaded.
  std::int16_t edited_ = 0;
};

}  // namespace velmora
