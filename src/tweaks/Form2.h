#pragma once
// The security-restrictions page.
#include "shell/SettingsPage.h"

namespace velmora {

class Form2 : public SettingsPage {
 public:
  explicit Form2(Application& app);

 protected:
  void Form_Load() override;
};

}  // namespace velmora
