#include "shell/framework/SettingsPage.h"

#include "shell/framework/Skin.h"

namespace velmora {

SettingsPage::SettingsPage(const FormContext& context, std::string name, std::string caption, Style style)
    : Form(context, std::move(name), std::move(caption), 580, 350), style_(style) {
  setBackground(pictures::kPageBackground);
  on("", Event::MouseMove, [this](const EventArgs&) { Form_MouseMove(); });
  on("Frame1", Event::MouseMove, [this](const EventArgs&) { Frame1_MouseMove(); });
  on("Picture1", Event::MouseMove, [this](const EventArgs& a) { Picture1_MouseMove(a); });
  on("Picture1", Event::MouseDown, [this](const EventArgs& a) { Picture1_MouseDown(a); });
  on("Image2", Event::MouseMove, swapPictures(*this, "Image2", "Image3"));
  on("Image3", Event::Click, [this](const EventArgs&) { Image3_Click(); });
  on("Image1", Event::MouseMove, swapPictures(*this, "Image1", "Image4"));
  on("Image4", Event::MouseDown, swapPictures(*this, "Image4", "save"));
  on("Image4", Event::MouseUp, [this](const EventArgs&) { Image4_MouseUp(); });
  on("Image5", Event::MouseMove, swapPictures(*this, "Image5", "Image6"));
  on("Image6", Event::MouseDown, swapPictures(*this, "Image6", "back"));
  on("Image6", Event::MouseUp, [this](const EventArgs&) { Image6_MouseUp(); });
}

void SettingsPage::createControls() {
  Control& titleBar = addTitleBar(*this);
  addClosePair(*this, titleBar);
  if (style_.close == CloseSwitch::ShowFirst) c("Image3").toolTip("关闭");
  addSaveButton(*this);
  addBackButton(*this);
  createPageControls();
}

void SettingsPage::Form_Load() { setUpSkin(*this, style_.key); }

void SettingsPage::showDescription(const std::string& description, const std::string& note) {
  if (Control* label = find(style_.descriptionLabel)) label->setCaption(description);
  if (Control* label = find(style_.noteLabel)) label->setCaption(note);
}

void SettingsPage::Form_MouseMove() {
  showControls(*this, {"Image2", "Image1", "Image5"});
  hideControls(*this, {"Image3", "Image4", "Image6", "save", "back"});
  showDescription(defaultHint_, kDefaultNote);
}

void SettingsPage::Frame1_MouseMove() { showDescription(defaultHint_, kDefaultNote); }

void SettingsPage::Picture1_MouseMove(const EventArgs& args) {
  hideControls(*this, {"Image3"});
  showControls(*this, {"Image2"});
  if (style_.drag == DragOn::MouseMove && args.button == button::kLeft) dragWindow(*this);
}

void SettingsPage::Picture1_MouseDown(const EventArgs& args) {
  if (style_.drag == DragOn::MouseDown && args.button == button::kLeft) dragWindow(*this);
}

void SettingsPage::Image3_Click() {
  if (style_.close == CloseSwitch::ShowFirst)
    navigator().returnShowFirst(*this);
  else
    navigator().returnUnloadFirst(*this);
}

void SettingsPage::Image4_MouseUp() {
  if (saveSettings()) navigator().returnUnloadFirst(*this);
}

void SettingsPage::Image6_MouseUp() { navigator().returnUnloadFirst(*this); }

}  // namespace velmora
