#include "info/Form6.h"

#include "shell/Application.h"
#include "shell/Skin.h"

namespace velmora {

Form6::Form6(Application& app) : Form(app, "Form6", "更多", 581, 351) {
  setBackground("form6/background");
  on("", Event::MouseDown, [this](const EventArgs& a) {
    if (a.button == button::kLeft) dragWindow(*this);
  });
  on("Image5", Event::Click, [this](const EventArgs&) { Image5_Click(); });
}

void Form6::createControls() {
  add("Image1", ControlKind::Image).at(80, 57.33, 101, 31).picture("form6/Image1").hand();
  add("Image2", ControlKind::Image).at(82, 130, 96, 29).picture("form6/Image2").hand();
  add("Image3", ControlKind::Image).at(21.33, 178, 121, 90).picture("form6/Image3").hand();
  add("Image4", ControlKind::Image).at(21.33, 280, 120, 36).picture("form6/Image4").hand();
  add("Image5", ControlKind::Image).at(486, 262, 60, 60).picture("form6/Image5").hand();
}

void Form6::Form_Load() { setUpSkin(*this, kRed); }

void Form6::Image5_Click() { app().returnShowFirst(*this); }

}  // namespace velmora
