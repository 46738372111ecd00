#pragma once
// The desktop-and-menu page.
#include "shell/SettingsPage.h"

namespace velmora {

class Form1 : public SettingsPage {
 public:
  explicit Form1(Application& app);

 protected:
  void Form_Load() override;
};

}  // namespace velmora
