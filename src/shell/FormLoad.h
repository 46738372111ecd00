#pragma once
// The start-up splash: this start's picture, faded in over about 1.2 s,
// then the hand-over to the main window.
#include "shell/framework/Form.h"

namespace velmora {


class FormLoad : public Form {
 public:
  explicit FormLoad(const FormContext& context);
  int fadeLevel() const { return fadeLevel_; }

 protected:
  void createControls() override;
  void Form_Load() override;

 private:
  void Timer1_Timer();

  int fadeLevel_ = 0;  // also the opacity applied to the window
};

}  // namespace velmora
