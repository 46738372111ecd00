#include "tweaks/CheckBoxPage.h"

#include "shell/framework/Skin.h"
#include "tweaks/DetectOsName.h"
#include "tweaks/SaveReport.h"
#include "tweaks/TweakLook.h"

namespace velmora {

CheckBoxPage::CheckBoxPage(const FormContext& context, std::string name, std::string caption, Layout layout,
                           const std::array<Box, kBoxCount>& boxes)
    : SettingsPage(context, std::move(name), std::move(caption), SettingsPage::Style{}),
      layout_(layout), boxes_(boxes) {
  for (int i = 0; i < kBoxCount; ++i) {
    on(boxName(i), Event::MouseMove, [this, i](const EventArgs&) {
      showDescription(boxes_[i].description, boxes_[i].note);
    });
    // A left press marks the box, and so does a change from the keyboard
    // (or a screen reader); the other buttons change nothing a save would
    // write.
    on(boxName(i), Event::MouseDown, [this, i](const EventArgs& args) {
      if (args.button == button::kLeft) touched_[i] = 1;
    });
    on(boxName(i), Event::Click, [this, i](const EventArgs& args) {
      if (args.keyboard) touched_[i] = 1;
    });
  }
}

std::string CheckBoxPage::boxName(int index) { return "Check" + std::to_string(index + 1); }

void CheckBoxPage::createPageControls() {
  Control& frame = addSettingsFrame(*this, layout_.frameCaption, layout_.frameTop);
  for (int i = 0; i < kBoxCount; ++i) {
    add(boxName(i), ControlKind::CheckBox, &frame)
        .at(16, 24 + 24 * i, boxes_[i].width, boxes_[i].height)
        .caption(boxes_[i].caption)
        .foreColor(kWhite);
    addItem({.name = boxes_[i].caption, .role = Role::CheckButton, .parts = {boxName(i)}, .setting = true});
  }
  addDescriptionBox(kTweakDescriptionLeft, 281, layout_.noteWidth);
}

void CheckBoxPage::paintControlsBlue() {
  paintPageBlue(*this, {kSettingsFrame, kDescriptionFrame, style().descriptionLabel, style().noteLabel});
  for (int i = 0; i < kBoxCount; ++i) box(i).setBackColor(kPageBlue);
}

void CheckBoxPage::limitUnlessXp(std::initializer_list<int> lockedBoxes) {
  if (DetectOsName(services().osVersion) == kWindowsXp) return;
  setDefaultHint(kNotXpHint);
  for (int index : lockedBoxes) box(index).setEnabled(false);
}

bool CheckBoxPage::saveSettings() {
  SaveReport report;
  for (int i = 0; i < kBoxCount; ++i) {
    if (touched_[i] != 1) continue;
    const bool ticked = box(i).Value() == 1;
    const bool written = report.write(boxes_[i].caption, services().registry,
                                      [&](RegistryShellObject& shell) { return writeBox(i, ticked, shell); });
    if (written) touched_[i] = 0;
  }
  return report.finish(*this);
}

}  // namespace velmora
