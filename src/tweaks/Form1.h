#pragma once
// The desktop-and-menu page: icon size, the shortcut arrow, and the five
// desktop icons that can be hidden.
#include "tweaks/CheckBoxPage.h"

namespace velmora {

class Form1 : public CheckBoxPage {
 public:
  explicit Form1(const FormContext& context);

 protected:
  void Form_Load() override;
  RegResult<bool> writeBox(int index, bool ticked, RegistryShellObject& shell) override;
};

}  // namespace velmora
