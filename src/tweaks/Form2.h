#pragma once
// The security page: seven per-user policies, each a REG_DWORD that is 1
// while the restriction is in force.
#include "tweaks/CheckBoxPage.h"

namespace velmora {

class Form2 : public CheckBoxPage {
 public:
  explicit Form2(const FormContext& context);

 protected:
  void Form_Load() override;
  RegResult<bool> writeBox(int index, bool ticked, RegistryShellObject& shell) override;
};

}  // namespace velmora
