#include "tweaks/Form3.h"

namespace velmora {

Form3::Form3(Application& app)
    : SettingsPage(app, "Form3", "其它", SettingsPage::Style{kRed, DragOn::MouseMove, CloseSwitch::UnloadFirst, "Label2", "Label3"}) {}

void Form3::Form_Load() {
  SettingsPage::Form_Load();
  setDefaultHint(kChooseHint);
}

}  // namespace velmora
