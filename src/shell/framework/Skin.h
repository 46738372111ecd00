#pragma once
// The pieces every skinned window shares: the layered set-up with its key
// colour, the picture title bar and its drag, the close pair, and the
// standard places of the save and back buttons.
#include <initializer_list>

#include "shell/framework/Form.h"

namespace velmora {

// Picture ids of the pictures the pages share.
namespace pictures {
inline constexpr const char* kTitleBar = "common/titlebar";
inline constexpr const char* kCloseNormal = "common/close_normal";
inline constexpr const char* kCloseHover = "common/close_hover";
inline constexpr const char* kSaveNormal = "common/save_normal";
inline constexpr const char* kSaveHover = "common/save_hover";
inline constexpr const char* kSavePressed = "common/save_pressed";
inline constexpr const char* kBackNormal = "common/back_normal";
inline constexpr const char* kBackHover = "common/back_hover";
inline constexpr const char* kBackPressed = "common/back_pressed";
inline constexpr const char* kPageBackground = "common/page_background";
}  // namespace pictures

// The blue the setting pages paint their frames, labels and boxes at load.
inline constexpr Colour kPageBlue = rgb(74, 114, 190);
void paintPageBlue(Form& form, std::initializer_list<const char*> names);

// Makes the window layered (extended style read, then written back with
// WS_EX_LAYERED added).
void makeLayered(Form& form);

// Title bar and window painted in the key colour, which then becomes
// see-through: the window takes the curved outline of its pictures.
void setUpSkin(Form& form, Colour key);

// Hands the window to the window manager's move loop until the button is up.
void dragWindow(Form& form);

// A handler that hides one picture and shows another: how a picture
// button takes its hover or pressed look.
Handler swapPictures(Form& form, const char* hide, const char* show);

void showControls(Form& form, std::initializer_list<const char*> names);
void hideControls(Form& form, std::initializer_list<const char*> names);

// Title bar `Picture1` at the top, and inside it the close pair: `Image2`
// (normal) and `Image3` (hover, hand cursor).
Control& addTitleBar(Form& form);
void addClosePair(Form& form, Control& titleBar, const char* normal = "Image2",
                  const char* hover = "Image3");
// Save button `Image1`/`Image4`/`save` and back button `Image5`/`Image6`/`back`.
void addSaveButton(Form& form);
void addBackButton(Form& form);

}  // namespace velmora
