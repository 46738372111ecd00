#include "shell/framework/Skin.h"

#include <utility>

namespace velmora {

void paintPageBlue(Form& form, std::initializer_list<const char*> names) {
  for (const char* name : names) form.c(name).setBackColor(kPageBlue);
}

void makeLayered(Form& form) {
  User32Api& user32 = form.services().user32;
  const WindowHandle window = form.hWnd();
  const std::int32_t style = user32.GetWindowLongA(window, kGwlExStyle);
  user32.SetWindowLongA(window, kGwlExStyle, style | kWsExLayered);
}

void setUpSkin(Form& form, Colour key) {
  if (Control* titleBar = form.find(standard::kTitleBar)) titleBar->setBackColor(key);
  form.setBackColor(key);
  makeLayered(form);
  form.services().user32.SetLayeredWindowAttributes(form.hWnd(), key, 255, kLwaColorKey);
}

void dragWindow(Form& form) {
  User32Api& user32 = form.services().user32;
  user32.ReleaseCapture();
  form.releaseCapture();
  user32.SendMessageA(form.hWnd(), kWmNcLButtonDown, kHtCaption, 0);
}

void dragIfLeftAlone(Form& form, int buttons) {
  if (buttons == button::kLeft) dragWindow(form);
}

Handler dragOnLeftPress(Form& form) {
  return [&form](const EventArgs& args) { dragIfLeftAlone(form, args.button); };
}

Handler swapPictures(Form& form, const char* hide, const char* show) {
  return [&form, hide, show](const EventArgs&) {
    form.c(hide).setVisible(false);
    form.c(show).setVisible(true);
  };
}

void attachPictureButton(Form& form, const PictureButton& button, Handler action) {
  form.on(button.normal, Event::MouseMove, swapPictures(form, button.normal, button.hover));
  form.on(button.hover, Event::MouseDown, swapPictures(form, button.hover, button.pressed));
  form.on(button.hover, Event::MouseUp, std::move(action));
}

void attachClosePair(Form& form, const ClosePair& pair, Handler action) {
  form.on(pair.normal, Event::MouseMove, swapPictures(form, pair.normal, pair.hover));
  form.on(pair.hover, Event::Click, std::move(action));
}

Item buttonItem(const char* name, const PictureButton& button) {
  return {.name = name, .role = Role::PushButton, .parts = {button.normal, button.hover, button.pressed}};
}

Item closeItem(const ClosePair& pair) {
  return {.name = "关闭", .role = Role::PushButton, .parts = {pair.normal, pair.hover}};
}

void showControls(Form& form, std::initializer_list<const char*> names) {
  for (const char* name : names) form.c(name).setVisible(true);
}

void hideControls(Form& form, std::initializer_list<const char*> names) {
  for (const char* name : names) form.c(name).setVisible(false);
}

Control& addTitleBar(Form& form) {
  return form.add(standard::kTitleBar, ControlKind::PictureBox).at(0, 0, 580, 37).picture(pictures::kTitleBar);
}

void addClosePair(Form& form, Control& titleBar, const ClosePair& pair) {
  form.add(pair.normal, ControlKind::Image, &titleBar).at(546, 0, 34, 18).picture(pictures::kCloseNormal);
  form.add(pair.hover, ControlKind::Image, &titleBar)
      .at(546, 0, 34, 18)
      .picture(pictures::kCloseHover)
      .hidden()
      .hand();
}

void addSaveButton(Form& form) {
  const PictureButton& save = standard::kSave;
  form.add(save.normal, ControlKind::Image).at(480, 72, 55, 90).picture(pictures::kSaveNormal);
  form.add(save.hover, ControlKind::Image).at(480, 72, 55, 90).picture(pictures::kSaveHover).hidden().hand();
  form.add(save.pressed, ControlKind::Image).at(482.67, 74.67, 55, 90).picture(pictures::kSavePressed).hidden();
}

void addBackButton(Form& form) {
  const PictureButton& back = standard::kBack;
  form.add(back.normal, ControlKind::Image).at(480, 208, 55, 80).picture(pictures::kBackNormal);
  form.add(back.hover, ControlKind::Image).at(480, 208, 55, 80).picture(pictures::kBackHover).hidden().hand();
  form.add(back.pressed, ControlKind::Image).at(482.67, 210.67, 55, 80).picture(pictures::kBackPressed).hidden();
}

}  // namespace velmora
