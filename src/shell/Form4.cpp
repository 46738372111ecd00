#include "shell/Form4.h"

#include "shell/framework/Skin.h"

namespace velmora {

Form4::Form4(const FormContext& context) : Form(context, "Form4", "更多", 580, 350) {
  setBackground("form4/background");
  on("Picture1", Event::MouseDown, [this](const EventArgs& a) {
    if (a.button == button::kLeft) dragWindow(*this);
  });
  on("Picture1", Event::MouseMove, [this](const EventArgs&) {
    hideControls(*this, {"Image3"});
    showControls(*this, {"Image2"});
  });
  on("Image2", Event::MouseMove, swapPictures(*this, "Image2", "Image3"));
  on("Image3", Event::Click, [this](const EventArgs&) { Image3_Click(); });
  on("Image5", Event::MouseMove, swapPictures(*this, "Image5", "Image6"));
  on("Image6", Event::MouseDown, swapPictures(*this, "Image6", "back"));
  on("Image6", Event::MouseUp, [this](const EventArgs&) { this->navigator().returnUnloadFirst(*this); });
  // The pressed back picture is left alone: the release always leaves.
  on("", Event::MouseMove, [this](const EventArgs&) {
    showControls(*this, {"Image2"});
    hideControls(*this, {"Image3", "Image6"});
    showControls(*this, {"Image5"});
  });
}

void Form4::createControls() {
  Control& titleBar = addTitleBar(*this);
  addClosePair(*this, titleBar);
  c("Image3").toolTip("关闭");
  addBackButton(*this);
}

void Form4::Form_Load() { setUpSkin(*this, kRed); }

void Form4::Image3_Click() { navigator().returnShowFirst(*this); }

}  // namespace velmora
