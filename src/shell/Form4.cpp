#include "shell/Form4.h"

#include "shell/framework/Skin.h"

namespace velmora {

Form4::Form4(const FormContext& context) : Form(context, "Form4", "更多", 580, 350) {
  setBackground("form4/background");
  on(standard::kTitleBar, Event::MouseDown, dragOnLeftPress(*this));
  on(standard::kTitleBar, Event::MouseMove, [this](const EventArgs&) {
    hideControls(*this, {standard::kClose.hover});
    showControls(*this, {standard::kClose.normal});
  });
  attachClosePair(*this, standard::kClose, [this](const EventArgs&) { Image3_Click(); });
  attachPictureButton(*this, standard::kBack,
                      [this](const EventArgs&) { navigator().returnUnloadFirst(*this); });
  // The pressed back picture is left alone: the release always leaves.
  on(kFormBackground, Event::MouseMove, [this](const EventArgs&) {
    showControls(*this, {standard::kClose.normal});
    hideControls(*this, {standard::kClose.hover, standard::kBack.hover});
    showControls(*this, {standard::kBack.normal});
  });
}

void Form4::createControls() {
  Control& titleBar = addTitleBar(*this);
  addClosePair(*this, titleBar);
  c(standard::kClose.hover).toolTip(kCloseToolTip);
  addBackButton(*this);
  addItem(buttonItem(kBackWord, standard::kBack));
  addItem(closeItem());
  setEscapeItem(kBackWord);
}

void Form4::Form_Load() { setUpSkin(*this, kRed); }

void Form4::Image3_Click() { navigator().returnShowFirst(*this); }

}  // namespace velmora
