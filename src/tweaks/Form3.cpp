#include "tweaks/Form3.h"

#include "shell/framework/Skin.h"
#include "tweaks/DetectOsName.h"
#include "tweaks/RegHolder.h"
#include "tweaks/SaveReport.h"
#include "tweaks/TweakLook.h"

namespace velmora {

namespace {

constexpr const char* kWindowTitle = "HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Main\\Window Title";
constexpr const char* kStandardTitle = "Windows Internet Explorer";

// The page's own controls: the caption of the title box, and the box. The
// description box's labels come after them.
constexpr const char* kTitleCaption = "Label1";
constexpr const char* kTitleBox = "Text1";
constexpr SettingsPage::Style kStyle{.descriptionLabel = "Label2", .noteLabel = "Label3"};

}  // namespace

Form3::Form3(const FormContext& context) : SettingsPage(context, "Form3", "其它", kStyle) {
  // Any character counts, Backspace included; nothing is refused or changed.
  on(kTitleBox, Event::KeyPress, [this](const EventArgs&) { edited_ = 1; });
}

void Form3::createPageControls() {
  Control& frame = addSettingsFrame(*this, "个性化", 48);
  add(kTitleCaption, ControlKind::Label, &frame).at(16, 24, 97, 17).caption("IE标题栏文字：").foreColor(kWhite);
  add(kTitleBox, ControlKind::TextBox, &frame).at(120, 21.33, 169, 18);
  addItem({.name = kTitleCaption, .role = Role::StaticText, .parts = {kTitleCaption}, .tabStop = false});
  addItem({.name = "IE标题栏文字", .role = Role::EditableText, .parts = {kTitleBox}, .setting = true});
  addDescriptionBox(kTweakDescriptionLeft, 289, 289);
}

void Form3::Form_Load() {
  setDefaultHint(kChooseHint);
  const std::unique_ptr<RegistryShellObject> shell = services().registry.CreateObject();
  RegHolder title = RegValue{std::string(kStandardTitle)};
  readInto(title, shell.get(), kWindowTitle);
  c(kTitleBox).setText(holderText(title));
  paintPageBlue(*this, {kSettingsFrame, kDescriptionFrame, kTitleCaption, kStyle.descriptionLabel, kStyle.noteLabel});
  SettingsPage::Form_Load();
  // Nothing is locked here: the title works on every Windows.
  if (DetectOsName(services().osVersion) != kWindowsXp) setDefaultHint(kNotXpHint);
}

bool Form3::saveSettings() {
  if (edited_ != 1) return true;
  SaveReport report;
  const std::string title = c(kTitleBox).Text();
  if (report.write("IE标题栏文字", services().registry,
                   [&](RegistryShellObject& shell) { return shell.RegWrite(kWindowTitle, title, "REG_SZ"); }))
    edited_ = 0;
  return report.finish(*this);
}

}  // namespace velmora
