#pragma once
// The main window: four tiles that open the main pages, four side tabs, the
// minimise and close pictures. Rebuilt in its initial look on every entry.
#include "shell/framework/Form.h"

namespace velmora {

class FormMain : public Form {
 public:
  explicit FormMain(const FormContext& context);

 protected:
  void createControls() override;
  void Form_Load() override;
  void onSystemClose() override;
  bool arrowKey(Key key) override;

 private:
  void Form_MouseMove();
  void Picture1_MouseMove(const EventArgs& args);
  void Image1_Click();
  void Image3_Click();
  void FE2_Click();
};

}  // namespace velmora
