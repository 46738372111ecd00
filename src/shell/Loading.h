#pragma once
// The window on screen while a page loads: a picture and nothing else. It
// is never layered, so its corners show the window's own colour.
#include "shell/Form.h"

namespace velmora {

class Loading : public Form {
 public:
  explicit Loading(Application& app) : Form(app, "Loading", "", 580, 350) {
    setBackground("loading/background");
    withoutTaskbarButton();
  }

 protected:
  void createControls() override {}
};

}  // namespace velmora
