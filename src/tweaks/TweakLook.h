#pragma once
// The look the three tweak pages share: the settings frame and the
// description box below it.
#include "shell/framework/Form.h"
#include "shell/framework/Skin.h"

namespace velmora {

inline constexpr Colour kSettingsCaptionColour = rgb(192, 255, 192);
inline constexpr Colour kDescriptionCaptionColour = rgb(255, 128, 128);

// `Frame1` at (40, top), 337 x 201.
Control& addSettingsFrame(Form& form, const char* caption, double top);

// `Frame2` captioned "描述" at (40, 264), 337 x 73, holding the description
// label (two lines) and the note label (one line), both white.
void addDescriptionBox(Form& form, const char* descriptionLabel, double descriptionWidth,
                       const char* noteLabel, double noteWidth);

}  // namespace velmora
