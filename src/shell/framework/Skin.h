#pragma once
// The pieces every skinned window shares: the layered set-up with its key
// colour, the picture title bar and its drag, the close pair, the
// three-state picture buttons and the standard places of the save and back
// buttons, and the colours the pages paint with.
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

// A three-state picture button: three pictures in one place, of which the
// visible one is the button's state.
struct PictureButton {
  const char* normal;
  const char* hover;
  const char* pressed;
};

// The close pair: the normal picture and the hover picture that takes the click.
struct ClosePair {
  const char* normal;
  const char* hover;
};

// The names of the controls the standard pages share.
namespace standard {
inline constexpr const char* kTitleBar = "Picture1";
inline constexpr ClosePair kClose{.normal = "Image2", .hover = "Image3"};
inline constexpr PictureButton kSave{.normal = "Image1", .hover = "Image4", .pressed = "save"};
inline constexpr PictureButton kBack{.normal = "Image5", .hover = "Image6", .pressed = "back"};
}  // namespace standard

// The tooltip of a close picture that carries one.
inline constexpr const char* kCloseToolTip = "关闭";
// The words the save and back pictures show.
inline constexpr const char* kSaveWord = "保存";
inline constexpr const char* kBackWord = "返回";

// The blue the setting pages paint their frames, labels and boxes at load.
inline constexpr Colour kPageBlue = rgb(74, 114, 190);
void paintPageBlue(Form& form, std::initializer_list<const char*> names);

// The captions of the frames on the pages.
inline constexpr Colour kLightGreen = rgb(192, 255, 192);
inline constexpr Colour kLightRed = rgb(255, 128, 128);
inline constexpr Colour kLightYellow = rgb(255, 255, 128);

// Makes the window layered (extended style read, then written back with
// WS_EX_LAYERED added).
void makeLayered(Form& form);

// Title bar and window painted in the key colour, which then becomes
// see-through: the window takes the curved outline of its pictures.
void setUpSkin(Form& form, Colour key);

// Hands the window to the window manager's move loop until the button is up.
void dragWindow(Form& form);
// Drags the window when the buttons given (a press's button or a move's
// mask of held buttons) are the left button alone.
void dragIfLeftAlone(Form& form, int buttons);
// A handler that drags the window on a press of the left button.
Handler dragOnLeftPress(Form& form);

// A handler that hides one picture and shows another: how a picture
// button takes its hover or pressed look.
Handler swapPictures(Form& form, const char* hide, const char* show);

// The pointer on the normal picture shows the hover picture; a press of any
// button on it shows the pressed picture; the release, wherever the pointer
// is then, does `action`. The pictures are not changed back: every action
// of such a button leaves the window.
void attachPictureButton(Form& form, const PictureButton& button, Handler action);
// The pointer on the normal picture shows the hover picture, whose click
// does `action`.
void attachClosePair(Form& form, const ClosePair& pair, Handler action);

// The items of the pieces above: a picture button reads as its word, the
// close pair as 关闭.
Item buttonItem(const char* name, const PictureButton& button);
Item closeItem(const ClosePair& pair = standard::kClose);

void showControls(Form& form, std::initializer_list<const char*> names);
void hideControls(Form& form, std::initializer_list<const char*> names);

// Title bar `Picture1` at the top, and inside it the close pair: `Image2`
// (normal) and `Image3` (hover, hand cursor).
Control& addTitleBar(Form& form);
void addClosePair(Form& form, Control& titleBar, const ClosePair& pair = standard::kClose);
// Save button `Image1`/`Image4`/`save` and back button `Image5`/`Image6`/`back`.
void addSaveButton(Form& form);
void addBackButton(Form& form);

}  // namespace velmora
