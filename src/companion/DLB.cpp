#include "companion/DLB.h"

namespace velmora {

DLB::DLB(Application& app)
    : SettingsPage(app, "DLB", "Pinnote", SettingsPage::Style{kGreen, DragOn::MouseDown, CloseSwitch::ShowFirst, "Label1", "Label2"}) {}

void DLB::Form_Load() {
  SettingsPage::Form_Load();
  setDefaultHint(kChooseHint);
}

}  // namespace velmora
