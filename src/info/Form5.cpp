#include "info/Form5.h"

#include "shell/Application.h"
#include "shell/Skin.h"

namespace velmora {

Form5::Form5(Application& app) : Form(app, "Form5", "帮助", 581, 351) {
  setBackground(pictures::kPageBackground);
  on("", Event::MouseMove, [this](const EventArgs&) {
    if (c("Image2").Visible()) {
      hideControls(*this, {"Image2"});
      showControls(*this, {"Image1"});
    }
  });
  on("Picture1", Event::MouseDown, [this](const EventArgs& a) {
    if (a.button == button::kLeft) dragWindow(*this);
  });
  on("Picture1", Event::MouseMove, [this](const EventArgs&) {
    showControls(*this, {"Image1"});
    hideControls(*this, {"Image2"});
  });
  on("Image1", Event::MouseMove, [this](const EventArgs&) {
    hideControls(*this, {"Image1"});
    showControls(*this, {"Image2"});
  });
  on("Image2", Event::Click, [this](const EventArgs&) { leave(); });
  on("Image3", Event::Click, [this](const EventArgs&) { leave(); });
}

void Form5::createControls() {
  Control& titleBar = addTitleBar(*this);
  addClosePair(*this, titleBar, "Image1", "Image2");
  add("Image3", ControlKind::Image).at(497.33, 268, 62, 62).picture("form5/Image3").hand();
}

void Form5::Form_Load() { setUpSkin(*this, kRed); }

void Form5::leave() { app().returnShowFirst(*this); }

}  // namespace velmora
