#pragma once
// The look the three tweak pages share: the settings frame above their
// description box.
#include "shell/framework/Form.h"

namespace velmora {

// Where the tweak pages place their description box.
inline constexpr double kTweakDescriptionLeft = 40;

// `Frame1` at (40, top), 337 x 201, its caption light green.
Control& addSettingsFrame(Form& form, const char* caption, double top);

}  // namespace velmora
