#pragma once
// The more page: a picture announcing further functions, a close pair and
// a back button, both back to the main window.
#include "shell/framework/Form.h"

namespace velmora {

class Form4 : public Form {
 public:
  explicit Form4(const FormContext& context);

 protected:
  void createControls() override;
  void Form_Load() override;
  void onSystemClose() override { Image3_Click(); }

 private:
  void Image3_Click();
};

}  // namespace velmora
