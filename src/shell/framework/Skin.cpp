#include "shell/framework/Skin.h"

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
  if (Control* titleBar = form.find("Picture1")) titleBar->setBackColor(key);
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

Handler swapPictures(Form& form, const char* hide, const char* show) {
  return [&form, hide, show](const EventArgs&) {
    form.c(hide).setVisible(false);
    form.c(show).setVisible(true);
  };
}

void showControls(Form& form, std::initializer_list<const char*> names) {
  for (const char* name : names) form.c(name).setVisible(true);
}

void hideControls(Form& form, std::initializer_list<const char*> names) {
  for (const char* name : names) form.c(name).setVisible(false);
}

Control& addTitleBar(Form& form) {
  return form.add("Picture1", ControlKind::PictureBox).at(0, 0, 580, 37).picture(pictures::kTitleBar);
}

void addClosePair(Form& form, Control& titleBar, const char* normal, const char* hover) {
  form.add(normal, ControlKind::Image, &titleBar).at(546, 0, 34, 18).picture(pictures::kCloseNormal);
  form.add(hover, ControlKind::Image, &titleBar)
      .at(546, 0, 34, 18)
      .picture(pictures::kCloseHover)
      .hidden()
      .hand();
}

void addSaveButton(Form& form) {
  form.add("Image1", ControlKind::Image).at(480, 72, 55, 90).picture(pictures::kSaveNormal);
  form.add("Image4", ControlKind::Image).at(480, 72, 55, 90).picture(pictures::kSaveHover).hidden().hand();
  form.add("save", ControlKind::Image).at(482.67, 74.67, 55, 90).picture(pictures::kSavePressed).hidden();
}

void addBackButton(Form& form) {
  form.add("Image5", ControlKind::Image).at(480, 208, 55, 80).picture(pictures::kBackNormal);
  form.add("Image6", ControlKind::Image).at(480, 208, 55, 80).picture(pictures::kBackHover).hidden().hand();
  form.add("back", ControlKind::Image).at(482.67, 210.67, 55, 80).picture(pictures::kBackPressed).hidden();
}

}  // namespace velmora
