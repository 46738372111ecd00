#include "companion/DLB.h"

#include <string>

#include "shell/framework/Skin.h"

namespace velmora {

namespace {

// Where Pinnote reads its options.
constexpr const char* kApp = "Velmora";
constexpr const char* kSection = "Pinnote";

// The caption of COLOR: a fixed head of eight characters and the colour
// word last. The word is the page's only record of the chosen colour.
constexpr const char* kStoredColourHead = "当前标题栏颜色：";
constexpr const char* kChosenColourHead = "当前所选的颜色：";
constexpr std::size_t kHeadCharacters = 8;
constexpr const char* kRedWord = "红";
constexpr const char* kGreenWord = "绿";
constexpr const char* kBlackWord = "黑";

constexpr const char* kRestartNote = "设置后重新运行 Pinnote 即可。";

// Captions are UTF-8; the caption rules count characters, not bytes.
bool startsCharacter(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) != 0x80; }

std::string firstCharacters(const std::string& text, std::size_t count) {
  std::size_t end = 0;
  for (std::size_t seen = 0; end < text.size(); ++end) {
    if (startsCharacter(text[end]) && seen++ == count) break;
  }
  return text.substr(0, end);
}

std::string lastCharacter(const std::string& text) {
  std::size_t start = text.size();
  while (start > 0 && !startsCharacter(text[--start])) {
  }
  return text.substr(start);
}

std::string colourWordFor(const std::string& stored) {
  if (stored.empty() || stored == "B") return kBlackWord;
  if (stored == "R") return kRedWord;
  if (stored == "G") return kGreenWord;
  return {};
}

// The value a colour word stands for in the store; empty for anything else.
std::string storedValueFor(const std::string& colourWord) {
  if (colourWord == kRedWord) return "R";
  if (colourWord == kGreenWord) return "G";
  if (colourWord == kBlackWord) return "B";
  return {};
}

}  // namespace

DLB::DLB(const FormContext& context)
    : SettingsPage(context, "DLB", "Pinnote",
                   SettingsPage::Style{kGreen, DragOn::MouseDown, CloseSwitch::ShowFirst, "Label1", "Label2"}) {
  on("Check1", Event::MouseMove, [this](const EventArgs&) {
    showDescription("可以使 Pinnote 始终保持在其它窗口前端。", kRestartNote);
  });
  // A press counts even when the release misses the box; the space bar
  // toggles the box without counting.
  on("Check1", Event::MouseDown, [this](const EventArgs& a) {
    if (a.button == button::kLeft) frontTouched_ = 1;
  });
  for (const char* option : {"Option1", "Option2"}) {
    on(option, Event::Click, [this](const EventArgs&) { skinTouched_ = 1; });
    on(option, Event::MouseMove, [this](const EventArgs&) {
      showDescription("本设置用于更改 Pinnote 的皮肤。", kRestartNote);
    });
  }
  on("skinimage1", Event::Click, [this](const EventArgs&) {
    skinTouched_ = 1;
    selectOption("Option1");
  });
  on("skinimage2", Event::Click, [this](const EventArgs&) {
    skinTouched_ = 1;
    selectOption("Option2");
  });
  struct Swatch {
    const char* name;
    const char* colourWord;
  };
  for (const Swatch swatch : {Swatch{"RED", kRedWord}, Swatch{"GREEN", kGreenWord}, Swatch{"BLACK", kBlackWord}}) {
    on(swatch.name, Event::Click, [this, swatch](const EventArgs&) { pickColour(swatch.colourWord); });
    on(swatch.name, Event::MouseMove, [this](const EventArgs&) {
      showDescription("本设置可以更改 标题栏文字 颜色。", kRestartNote);
    });
  }
}

void DLB::createPageControls() {
  Control& frame1 = add("Frame1", ControlKind::Frame).at(24, 56, 337, 193).caption("Pinnote").foreColor(kLightGreen);
  add("skinimage1", ControlKind::Image, &frame1).at(16, 24, 80, 93).picture("dlb/skinimage1");
  add("skinimage2", ControlKind::Image, &frame1).at(120, 24, 80, 93).picture("dlb/skinimage2");
  add("Option1", ControlKind::OptionButton, &frame1).at(16, 120, 73, 25).caption("阿狸便签").foreColor(kWhite).value(1);
  add("Option2", ControlKind::OptionButton, &frame1).at(128, 120, 73, 25).caption("普通便签").foreColor(kWhite);
  add("Option3", ControlKind::OptionButton, &frame1)
      .at(232, 120, 81, 25)
      .caption("敬请期待")
      .foreColor(kWhite)
      .disabled();
  add("Check1", ControlKind::CheckBox, &frame1).at(16, 152, 105, 25).caption("保持窗体最前").foreColor(kWhite).value(1);
  add("COLOR", ControlKind::Label, &frame1)
      .at(128, 156, 113, 17)
      .caption(kStoredColourHead)
      .foreColor(kWhite)
      .transparentBack();
  add("RED", ControlKind::Label, &frame1).at(256, 156, 17, 17).backColor(rgb(255, 0, 0)).hand();
  add("GREEN", ControlKind::Label, &frame1).at(280, 156, 17, 17).backColor(rgb(0, 192, 0)).hand();
  add("BLACK", ControlKind::Label, &frame1).at(304, 156, 17, 17).backColor(kBlack).hand();

  addDescriptionBox(24, 289, 289);
}

void DLB::Form_Load() {
  setDefaultHint(kChooseHint);
  showStoredOptions();
  SettingsPage::Form_Load();
  paintPageBlue();
}

// Anything the page does not know shows as the form's defaults: Check1
// ticked, Option1 selected, and no colour word at all.
void DLB::showStoredOptions() {
  SettingsStore& store = services().settings;
  if (store.GetSetting(kApp, kSection, "Front") == "No") c("Check1").setValue(0);
  if (store.GetSetting(kApp, kSection, "Skin") == "2") selectOption("Option2");
  Control& colour = c("COLOR");
  colour.setCaption(colour.Caption() + colourWordFor(store.GetSetting(kApp, kSection, "Color")));
}

void DLB::paintPageBlue() {
  velmora::paintPageBlue(*this, {"Frame1", "Frame2", "Label1", "Label2", "Option1", "Option2", "Option3", "Check1"});
}

void DLB::selectOption(const char* option) {
  for (const char* name : {"Option1", "Option2", "Option3"}) c(name).setValue(std::string(name) == option ? 1 : 0);
}

void DLB::pickColour(const char* colourWord) {
  colourTouched_ = 1;
  Control& colour = c("COLOR");
  if (firstCharacters(colour.Caption(), kHeadCharacters) == kStoredColourHead)
    colour.setCaption(std::string(kChosenColourHead) + colourWord);
  colour.setCaption(firstCharacters(colour.Caption(), kHeadCharacters) + colourWord);
}

// Only touched options are written, in the order Front, Skin, Color, each
// with what the page shows now.
bool DLB::saveSettings() {
  SettingsStore& store = services().settings;
  if (frontTouched_ == 1) store.SaveSetting(kApp, kSection, "Front", c("Check1").Value() == 1 ? "Yes" : "No");
  if (skinTouched_ == 1) {
    if (c("Option1").Value() == 1) store.SaveSetting(kApp, kSection, "Skin", "");
    if (c("Option2").Value() == 1) store.SaveSetting(kApp, kSection, "Skin", "2");
  }
  if (colourTouched_ == 1) {
    const std::string value = storedValueFor(lastCharacter(c("COLOR").Caption()));
    if (!value.empty()) store.SaveSetting(kApp, kSection, "Color", value);
  }
  return true;
}

}  // namespace velmora
