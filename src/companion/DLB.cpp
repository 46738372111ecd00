#include "companion/DLB.h"

#include <string>

#include "shell/framework/Skin.h"

namespace velmora {

namespace {

// Where Pinnote reads its options.
constexpr const char* kApp = "Velmora";
constexpr const char* kSection = "Pinnote";
constexpr const char* kFrontKey = "Front";
constexpr const char* kSkinKey = "Skin";
constexpr const char* kColourKey = "Color";

// The page's own controls, in the settings frame: the box that keeps Pinnote
// in front, the skin pictures and options, the colour caption and swatches.
constexpr const char* kFrontBox = "Check1";
constexpr const char* kAliPicture = "skinimage1";
constexpr const char* kPlainPicture = "skinimage2";
constexpr const char* kAliOption = "Option1";
constexpr const char* kPlainOption = "Option2";
constexpr const char* kComingOption = "Option3";
constexpr const char* kColourCaption = "COLOR";

// The caption of COLOR: a fixed head of eight characters and the colour
// word last. The word is the page's only record of the chosen colour.
constexpr const char* kStoredColourHead = "当前标题栏颜色：";
constexpr const char* kChosenColourHead = "当前所选的颜色：";
constexpr std::size_t kHeadCharacters = 8;
constexpr const char* kRedWord = "红";
constexpr const char* kGreenWord = "绿";
constexpr const char* kBlackWord = "黑";

constexpr const char* kRestartNote = "设置后重新运行 Pinnote 即可。";

// A colour swatch: a small label in its colour that picks its colour word.
struct Swatch {
  const char* name;
  const char* colourWord;
  Colour colour;
  double left;
};
constexpr Swatch kSwatches[] = {
    {.name = "RED", .colourWord = kRedWord, .colour = rgb(255, 0, 0), .left = 256},
    {.name = "GREEN", .colourWord = kGreenWord, .colour = rgb(0, 192, 0), .left = 280},
    {.name = "BLACK", .colourWord = kBlackWord, .colour = kBlack, .left = 304},
};

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
                   SettingsPage::Style{.key = kGreen, .drag = DragOn::MouseDown, .close = CloseSwitch::ShowFirst}) {
  on(kFrontBox, Event::MouseMove, [this](const EventArgs&) {
    showDescription("可以使 Pinnote 始终保持在其它窗口前端。", kRestartNote);
  });
  // A press counts even when the release misses the box, and so does a
  // change from the keyboard.
  on(kFrontBox, Event::MouseDown, [this](const EventArgs& a) {
    if (a.button == button::kLeft) frontTouched_ = 1;
  });
  on(kFrontBox, Event::Click, [this](const EventArgs& a) {
    if (a.keyboard) frontTouched_ = 1;
  });
  for (const char* option : {kAliOption, kPlainOption}) {
    on(option, Event::Click, [this](const EventArgs&) { skinTouched_ = 1; });
    on(option, Event::MouseMove, [this](const EventArgs&) {
      showDescription("本设置用于更改 Pinnote 的皮肤。", kRestartNote);
    });
  }
  on(kAliPicture, Event::Click, [this](const EventArgs&) {
    skinTouched_ = 1;
    selectOption(kAliOption);
  });
  on(kPlainPicture, Event::Click, [this](const EventArgs&) {
    skinTouched_ = 1;
    selectOption(kPlainOption);
  });
  for (const Swatch& swatch : kSwatches) {
    on(swatch.name, Event::Click, [this, &swatch](const EventArgs&) { pickColour(swatch.colourWord); });
    on(swatch.name, Event::MouseMove, [this](const EventArgs&) {
      showDescription("本设置可以更改 标题栏文字 颜色。", kRestartNote);
    });
  }
}

void DLB::createPageControls() {
  Control& frame =
      add(kSettingsFrame, ControlKind::Frame).at(24, 56, 337, 193).caption("Pinnote").foreColor(kLightGreen);
  add(kAliPicture, ControlKind::Image, &frame).at(16, 24, 80, 93).picture("dlb/skinimage1");
  add(kPlainPicture, ControlKind::Image, &frame).at(120, 24, 80, 93).picture("dlb/skinimage2");
  add(kAliOption, ControlKind::OptionButton, &frame).at(16, 120, 73, 25).caption("阿狸便签").foreColor(kWhite).value(1);
  add(kPlainOption, ControlKind::OptionButton, &frame).at(128, 120, 73, 25).caption("普通便签").foreColor(kWhite);
  add(kComingOption, ControlKind::OptionButton, &frame)
      .at(232, 120, 81, 25)
      .caption("敬请期待")
      .foreColor(kWhite)
      .disabled();
  add(kFrontBox, ControlKind::CheckBox, &frame).at(16, 152, 105, 25).caption("保持窗体最前").foreColor(kWhite).value(1);
  add(kColourCaption, ControlKind::Label, &frame)
      .at(128, 156, 113, 17)
      .caption(kStoredColourHead)
      .foreColor(kWhite)
      .transparentBack();
  for (const Swatch& swatch : kSwatches)
    add(swatch.name, ControlKind::Label, &frame).at(swatch.left, 156, 17, 17).backColor(swatch.colour).hand();

  // The skin pictures are named but left out of the Tab order: the option
  // buttons beside them do the same. The options are one group, reached by
  // Tab at the chosen one and moved through with the arrows.
  addItem({.name = "阿狸便签皮肤", .role = Role::PushButton, .parts = {kAliPicture}, .tabStop = false});
  addItem({.name = "普通便签皮肤", .role = Role::PushButton, .parts = {kPlainPicture}, .tabStop = false});
  for (const char* option : {kAliOption, kPlainOption, kComingOption})
    addItem({.name = c(option).Caption(), .role = Role::RadioButton, .parts = {option}, .setting = true,
             .group = "skin"});
  addItem({.name = c(kFrontBox).Caption(), .role = Role::CheckButton, .parts = {kFrontBox}, .setting = true});
  addItem({.name = kColourCaption, .role = Role::StaticText, .parts = {kColourCaption}, .tabStop = false});
  for (const Swatch& swatch : kSwatches)
    addItem({.name = swatch.colourWord, .role = Role::PushButton, .parts = {swatch.name}, .setting = true});

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
  if (store.GetSetting(kApp, kSection, kFrontKey) == "No") c(kFrontBox).setValue(0);
  if (store.GetSetting(kApp, kSection, kSkinKey) == "2") selectOption(kPlainOption);
  Control& colour = c(kColourCaption);
  colour.setCaption(colour.Caption() + colourWordFor(store.GetSetting(kApp, kSection, kColourKey)));
}

void DLB::paintPageBlue() {
  velmora::paintPageBlue(*this, {kSettingsFrame, kDescriptionFrame, style().descriptionLabel, style().noteLabel,
                                 kAliOption, kPlainOption, kComingOption, kFrontBox});
}

void DLB::selectOption(const char* option) {
  for (const char* name : {kAliOption, kPlainOption, kComingOption})
    c(name).setValue(std::string(name) == option ? 1 : 0);
}

void DLB::pickColour(const char* colourWord) {
  colourTouched_ = 1;
  Control& colour = c(kColourCaption);
  if (firstCharacters(colour.Caption(), kHeadCharacters) == kStoredColourHead)
    colour.setCaption(std::string(kChosenColourHead) + colourWord);
  colour.setCaption(firstCharacters(colour.Caption(), kHeadCharacters) + colourWord);
}

// Only touched options are written, in the order Front, Skin, Color, each
// with what the page shows now.
bool DLB::saveSettings() {
  SettingsStore& store = services().settings;
  if (frontTouched_ == 1) store.SaveSetting(kApp, kSection, kFrontKey, c(kFrontBox).Value() == 1 ? "Yes" : "No");
  if (skinTouched_ == 1) {
    if (c(kAliOption).Value() == 1) store.SaveSetting(kApp, kSection, kSkinKey, "");
    if (c(kPlainOption).Value() == 1) store.SaveSetting(kApp, kSection, kSkinKey, "2");
  }
  if (colourTouched_ == 1) {
    const std::string value = storedValueFor(lastCharacter(c(kColourCaption).Caption()));
    if (!value.empty()) store.SaveSetting(kApp, kSection, kColourKey, value);
  }
  return true;
}

}  // namespace velmora
