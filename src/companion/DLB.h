#pragma once
// The sticky-note page.
#include "shell/SettingsPage.h"

namespace velmora {

class DLB : public SettingsPage {
 public:
  explicit DLB(Application& app);

 protected:
  void Form_Load() override;
};

}  // namespace velmora
