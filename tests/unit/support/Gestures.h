#pragma once
// What a user does over and over: push a picture button, open a page by its
// side tab, and leave a page by its save, back or close button.
#include "support/TestDesktop.h"

namespace velmora::testing {

// Hover, press and release a three-state button: the pointer onto the
// normal picture, then onto the hover picture that replaced it, then the
// button down and up there.
inline void pushButton(TestDesktop& d, const char* normal, const char* hover, int button = button::kLeft) {
  d.moveTo(normal);
  d.moveTo(hover);
  d.press(button);
  d.release(button);
}

// Hover a side tab of the main window and click the hover picture it turns into.
inline void openTab(TestDesktop& d, const char* tab, const char* hover) {
  d.moveTo(tab);
  d.click(hover);
}

// The save and back buttons and the close pair of a standard page.
inline void save(TestDesktop& d, int button = button::kLeft) { pushButton(d, "Image1", "Image4", button); }
inline void back(TestDesktop& d) { pushButton(d, "Image5", "Image6"); }
inline void closePage(TestDesktop& d) {
  d.moveTo("Image2");
  d.click("Image3");
}

}  // namespace velmora::testing
