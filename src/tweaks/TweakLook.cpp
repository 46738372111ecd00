#include "tweaks/TweakLook.h"

#include "shell/framework/SettingsPage.h"

namespace velmora {

Control& addSettingsFrame(Form& form, const char* caption, double top) {
  return form.add("Frame1", ControlKind::Frame)
      .at(40, top, 337, 201)
      .caption(caption)
      .foreColor(kSettingsCaptionColour);
}

void addDescriptionBox(Form& form, const char* descriptionLabel, double descriptionWidth,
                       const char* noteLabel, double noteWidth) {
  Control& frame = form.add("Frame2", ControlKind::Frame)
                       .at(40, 264, 337, 73)
                       .caption("描述")
                       .foreColor(kDescriptionCaptionColour);
  form.add(descriptionLabel, ControlKind::Label, &frame)
      .at(16, 16, descriptionWidth, 33)
      .caption(kChooseHint)
      .foreColor(kWhite);
  form.add(noteLabel, ControlKind::Label, &frame).at(16, 48, noteWidth, 17).caption(kDefaultNote).foreColor(kWhite);
}


}  // namespace velmora
