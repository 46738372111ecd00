#pragma once
// The browser-title page.
#include "shell/SettingsPage.h"

namespace velmora {

class Form3 : public SettingsPage {
 public:
  explicit Form3(Application& app);

 protected:
  void Form_Load() override;
};

}  // namespace velmora
