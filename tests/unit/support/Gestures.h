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

// From a newly started program to the named screen ("FormMain", "Form1" ..
// "Form6", "DLB"), by its tile or tab as a user opens it.
inline void reach(TestDesktop& d, const std::string& screen) {
  struct Way {
    const char* screen;
    const char* normal;
    const char* hover;
    bool tile;
  };
  static constexpr Way kWays[] = {
      {.screen = "Form1", .normal = "Image4", .hover = "DTF", .tile = true},
      {.screen = "Form2", .normal = "Image6", .hover = "SYF", .tile = true},
      {.screen = "Form3", .normal = "Image8", .hover = "MSF", .tile = true},
      {.screen = "Form4", .normal = "Image10", .hover = "MF", .tile = true},
      {.screen = "DLB", .normal = "DL", .hover = "DL2", .tile = false},
      {.screen = "Form5", .normal = "BZ", .hover = "BZ2", .tile = false},
      {.screen = "Form6", .normal = "GY", .hover = "GY2", .tile = false},
  };
  d.startToMainWindow();
  for (const Way& way : kWays) {
    if (screen != way.screen) continue;
    if (way.tile)
      pushButton(d, way.normal, way.hover);
    else
      openTab(d, way.normal, way.hover);
  }
  if (d.shownName() != screen) throw std::logic_error(screen + " did not open");
}

}  // namespace velmora::testing
