#pragma once
// The help page: two fixed texts, a close pair and a back picture.
#include "shell/framework/Form.h"

namespace velmora {

class Form5 : public Form {
 public:
  explicit Form5(const FormContext& context);

 protected:
  void createControls() override;
  void Form_Load() override;
  void onSystemClose() override { leave(); }

 private:
  void leave();
};

}  // namespace velmora
