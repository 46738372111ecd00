#include "tweaks/Form1.h"

namespace velmora {

Form1::Form1(Application& app)
    : SettingsPage(app, "Form1", "桌面及菜单", SettingsPage::Style{}) {}

void Form1::Form_Load() {
  SettingsPage::Form_Load();
  setDefaultHint(kChooseHint);
}

}  // namespace velmora
