#pragma once
// The window on screen while a page loads: a picture and nothing else. It
// is never layered, so its corners show the window's own colour.
#include "shell/framework/Form.h"

namespace velmora {

class Loading : public Form {
 public:
  explicit Loading(const FormContext& context) : Form(context, "Loading", "", 580, 350) {
    setBackground("loading/background");
    withoutTaskbarButton();
  }

 protected:
  void createControls() override {}
};

}  // namespace velmora
