#include "tweaks/TweakLook.h"

#include "shell/framework/SettingsPage.h"
#include "shell/framework/Skin.h"

namespace velmora {

Control& addSettingsFrame(Form& form, const char* caption, double top) {
  return form.add(kSettingsFrame, ControlKind::Frame).at(40, top, 337, 201).caption(caption).foreColor(kLightGreen);
}

}  // namespace velmora
