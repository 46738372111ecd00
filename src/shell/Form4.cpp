#include "shell/Form4.h"

#include "shell/framework/Skin.h"

namespace velmora {

Form4::Form4(const FormContext& context) : Form(context, "Form4", "更多", 580, 350) {
  setBackground("form4/background");
  on(standard::kTitleBar, Event::MouseDown, dragOnLeftPress(*this));
  on("Picture1", Event::MouseMove, [this](const EventArgs&) {
    hideControls(*this, {"Image3"});
    showControls(*this, {"Image2"});
  });
  attachClosePair(*this, standard::kClose, [this](const EventArgs&) { Image3_Click(); });
  attachPictureButton(*this, standard::kBack,
                      [this](const EventArgs&) { this->navigator().returnUnloadFirst(*this); });
  // The pressed back picture is left alone: the release always leaves.
  on(kFormBackground, Event::MouseMove, [this](const EventArgs&) {
    showControls(*this, {"Image2"});
    hideControls(*this, {"Image3", "Image6"});
    showControls(*this, {"Image5"});
  });
}

void Form4::createControls() {
  Control& titleBar = addTitleBar(*this);
  addClosePair(*this, titleBar);
  c(standard::kClose.hover).toolTip(kCloseToolTip);
  addBackButton(*this);
}

void Form4::Form_Load() { setUpSkin(*this, kRed); }

void Form4::Image3_Click() { navigator().returnShowFirst(*this); }

}  // namespace velmora
