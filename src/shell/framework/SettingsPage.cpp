#include "shell/framework/SettingsPage.h"

#include "shell/framework/Skin.h"

namespace velmora {

SettingsPage::SettingsPage(const FormContext& context, std::string name, std::string caption, Style style)
    : Form(context, std::move(name), std::move(caption), 580, 350), style_(style) {
  setBackground(pictures::kPageBackground);
  on(kFormBackground, Event::MouseMove, [this](const EventArgs&) { Form_MouseMove(); });
  on(kSettingsFrame, Event::MouseMove, [this](const EventArgs&) { Frame1_MouseMove(); });
  on(standard::kTitleBar, Event::MouseMove, [this](const EventArgs& a) { Picture1_MouseMove(a); });
  if (style_.drag == DragOn::MouseDown) on(standard::kTitleBar, Event::MouseDown, dragOnLeftPress(*this));
  attachClosePair(*this, standard::kClose, [this](const EventArgs&) { Image3_Click(); });
  attachPictureButton(*this, standard::kSave, [this](const EventArgs&) { Image4_MouseUp(); });
  attachPictureButton(*this, standard::kBack, [this](const EventArgs&) { Image6_MouseUp(); });
}

void SettingsPage::createControls() {
  Control& titleBar = addTitleBar(*this);
  addClosePair(*this, titleBar);
  if (style_.close == CloseSwitch::ShowFirst) c(standard::kClose.hover).toolTip(kCloseToolTip);
  addSaveButton(*this);
  addBackButton(*this);
  createPageControls();
  // The description box is read after the settings; then the buttons, the
  // default one first, and the title bar's close.
  for (const char* label : {style_.descriptionLabel, style_.noteLabel})
    if (find(label)) addItem({.name = label, .role = Role::StaticText, .parts = {label}, .tabStop = false});
  setDescriptionLabel(style_.descriptionLabel);
  addItem(buttonItem(kSaveWord, standard::kSave));
  addItem(buttonItem(kBackWord, standard::kBack));
  addItem(closeItem());
  setDefaultItem(kSaveWord);
  setEscapeItem(kBackWord);
}

void SettingsPage::Form_Load() { setUpSkin(*this, style_.key); }

void SettingsPage::addDescriptionBox(double left, double descriptionWidth, double noteWidth) {
  Control& frame =
      add(kDescriptionFrame, ControlKind::Frame).at(left, 264, 337, 73).caption("描述").foreColor(kLightRed);
  add(style_.descriptionLabel, ControlKind::Label, &frame)
      .at(16, 16, descriptionWidth, 33)
      .caption(kChooseHint)
      .foreColor(kWhite);
  add(style_.noteLabel, ControlKind::Label, &frame).at(16, 48, noteWidth, 17).caption(kDefaultNote).foreColor(kWhite);
}

void SettingsPage::showDescription(const std::string& description, const std::string& note) {
  if (Control* label = find(style_.descriptionLabel)) label->setCaption(description);
  if (Control* label = find(style_.noteLabel)) label->setCaption(note);
}

void SettingsPage::Form_MouseMove() {
  using namespace standard;
  showControls(*this, {kClose.normal, kSave.normal, kBack.normal});
  hideControls(*this, {kClose.hover, kSave.hover, kBack.hover, kSave.pressed, kBack.pressed});
  showDescription(defaultHint_, kDefaultNote);
}

void SettingsPage::Frame1_MouseMove() { showDescription(defaultHint_, kDefaultNote); }

void SettingsPage::Picture1_MouseMove(const EventArgs& args) {
  hideControls(*this, {standard::kClose.hover});
  showControls(*this, {standard::kClose.normal});
  if (style_.drag == DragOn::MouseMove) dragIfLeftAlone(*this, args.button);
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
