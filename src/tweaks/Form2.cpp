#include "tweaks/Form2.h"

namespace velmora {

Form2::Form2(Application& app)
    : SettingsPage(app, "Form2", "系统", SettingsPage::Style{}) {}

void Form2::Form_Load() {
  SettingsPage::Form_Load();
  setDefaultHint(kChooseHint);
}

}  // namespace velmora
