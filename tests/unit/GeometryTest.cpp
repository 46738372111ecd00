// Where the main window's controls and the pages' shared controls sit, as
// the pictures are drawn for them: position and size (thirds of a pixel
// kept exact), first visibility, picture and the hand cursor. Also which
// windows have a taskbar button, the splash timer, and the colour Loading
// shows in its corners.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/Gestures.h"
#include "support/ScreenProbe.h"
#include "support/TestDesktop.h"

namespace velmora::testing {
namespace {

struct Placed {
  const char* control;
  double left, top, width, height;  // pixels, in the window
  bool visible;
  bool hand;
  const char* picture;
};

void expectPlaced(const Form& form, const std::vector<Placed>& table) {
  for (const Placed& p : table) {
    SCOPED_TRACE(form.name() + "." + p.control);
    const Control* control = form.find(p.control);
    ASSERT_NE(control, nullptr);
    const Rect r = control->formRect();
    EXPECT_EQ(twips(r.left), twips(p.left));
    EXPECT_EQ(twips(r.top), twips(p.top));
    EXPECT_EQ(twips(r.width), twips(p.width));
    EXPECT_EQ(twips(r.height), twips(p.height));
    EXPECT_EQ(control->Visible(), p.visible);
    EXPECT_EQ(control->Cursor(), p.hand ? CursorShape::Hand : CursorShape::Arrow);
    EXPECT_EQ(control->Picture(), p.picture);
  }
}

TEST(Geometry, MainWindowControlsSitWhereTheirPicturesAreDrawn) {
  const std::vector<Placed> table = {
      {"Picture1", 0, 0, 580, 37, true, false, "common/titlebar"},
      {"Image1", 518, 0, 27, 18, true, true, "formmain/Image1"},
      {"Image2", 546, 0, 34, 18, true, false, "common/close_normal"},
      {"Image3", 546, 0, 34, 18, false, true, "common/close_hover"},
      {"Image4", 48, 52, 231, 130, true, false, "formmain/Image4"},
      {"DTF", 48, 52, 234, 134, false, true, "formmain/DTF"},
      {"Image5", 50 + 2.0 / 3, 55 + 1.0 / 3, 230, 130, false, false, "formmain/Image5"},
      {"Image6", 301 + 1.0 / 3, 52, 230, 130, true, false, "formmain/Image6"},
      {"SYF", 301, 52, 234, 134, false, true, "formmain/SYF"},
      {"Image7", 304, 54 + 2.0 / 3, 230, 131, false, false, "formmain/Image7"},
      {"Image8", 48, 199 + 1.0 / 3, 230, 129, true, false, "formmain/Image8"},
      {"MSF", 48, 199 + 1.0 / 3, 234, 134, false, true, "formmain/MSF"},
      {"Image9", 50 + 2.0 / 3, 202, 230, 130, false, false, "formmain/Image9"},
      {"Image10", 301 + 1.0 / 3, 199 + 1.0 / 3, 230, 130, true, false, "formmain/Image10"},
      {"MF", 301 + 1.0 / 3, 199 + 1.0 / 3, 234, 134, false, true, "formmain/MF"},
      {"Image11", 304, 202, 230, 130, false, false, "formmain/Image11"},
      // The side tabs take no hand cursor.
      {"DL", 0, 42 + 2.0 / 3, 27, 105, true, false, "formmain/DL"},
      {"DL2", 0, 43, 27, 105, false, false, "formmain/DL2"},
      {"FE", 0, 149 + 1.0 / 3, 27, 105, true, false, "formmain/FE"},
      {"FE2", 0, 149, 27, 105, false, false, "formmain/FE2"},
      {"GY", 552, 41, 27, 77, true, false, "formmain/GY"},
      {"GY2", 550 + 2.0 / 3, 41 + 1.0 / 3, 29, 77, false, false, "formmain/GY2"},
      {"BZ", 552, 119, 27, 77, true, false, "formmain/BZ"},
      {"BZ2", 552, 120, 29, 77, false, false, "formmain/BZ2"},
  };
  TestDesktop d;
  d.startToMainWindow();
  Form& main = d.shown();
  expectPlaced(main, table);
  EXPECT_EQ(main.controls().size(), table.size());
}

TEST(Geometry, PagesShareTheirTitleBarClosePairAndButtonsWhereTheyAreDrawn) {
  const Placed titleBar{"Picture1", 0, 0, 580, 37, true, false, "common/titlebar"};
  const Placed closeNormal{"Image2", 546, 0, 34, 18, true, false, "common/close_normal"};
  const Placed closeHover{"Image3", 546, 0, 34, 18, false, true, "common/close_hover"};
  // The pressed pictures sit 40 twips, two thirds of a pixel over 2, right
  // of and below the normal ones.
  const std::vector<Placed> saveButton = {
      {"Image1", 480, 72, 55, 90, true, false, "common/save_normal"},
      {"Image4", 480, 72, 55, 90, false, true, "common/save_hover"},
      {"save", 482 + 2.0 / 3, 74 + 2.0 / 3, 55, 90, false, false, "common/save_pressed"},
  };
  const std::vector<Placed> backButton = {
      {"Image5", 480, 208, 55, 80, true, false, "common/back_normal"},
      {"Image6", 480, 208, 55, 80, false, true, "common/back_hover"},
      {"back", 482 + 2.0 / 3, 210 + 2.0 / 3, 55, 80, false, false, "common/back_pressed"},
  };
  struct Page {
    const char* name;
    bool save;
    bool back;
  };
  for (const Page page : {Page{"Form1", true, true}, Page{"Form2", true, true}, Page{"Form3", true, true},
                          Page{"DLB", true, true}, Page{"Form4", false, true}}) {
    TestDesktop d;
    reach(d, page.name);
    std::vector<Placed> table = {titleBar, closeNormal, closeHover};
    if (page.save) table.insert(table.end(), saveButton.begin(), saveButton.end());
    if (page.back) table.insert(table.end(), backButton.begin(), backButton.end());
    expectPlaced(d.shown(), table);
    if (!page.save) {
      for (const char* absent : {"Image1", "Image4", "save"}) EXPECT_EQ(d.shown().find(absent), nullptr) << absent;
    }
  }
  // The help page names its close pair Image1 (normal) and Image2 (hover).
  TestDesktop d;
  reach(d, "Form5");
  expectPlaced(d.shown(), {titleBar,
                           {"Image1", 546, 0, 34, 18, true, false, "common/close_normal"},
                           {"Image2", 546, 0, 34, 18, false, true, "common/close_hover"}});
}

// Taskbar buttons: the main window and the pages. Shown once in a run, so
// that its pictures need not be kept: the splash alone.
TEST(Geometry, TaskbarButtonsAndWhichWindowIsShownOnce) {
  TestDesktop d;
  d.startToMainWindow();
  struct Case {
    Screen screen;
    bool button;
    bool once;
  };
  const Case cases[] = {{Screen::FormLoad, false, true}, {Screen::FormMain, true, false},
                        {Screen::Loading, false, false}, {Screen::Form1, true, false},
                        {Screen::Form2, true, false},    {Screen::Form3, true, false},
                        {Screen::Form4, true, false},    {Screen::Form5, true, false},
                        {Screen::Form6, true, false},    {Screen::DLB, true, false}};
  for (const Case& c : cases) {
    const Form& form = d.app.form(c.screen);
    EXPECT_EQ(form.hasTaskbarButton(), c.button) << form.name();
    EXPECT_EQ(form.shownOnce(), c.once) << form.name();
  }
}

TEST(Geometry, TheSplashTimerTicksEvery80MillisecondsFromItsCreation) {
  TestDesktop d;
  d.app.start();
  const Control& timer = d.app.form(Screen::FormLoad).c("Timer1");
  EXPECT_EQ(timer.kind(), ControlKind::Timer);
  EXPECT_EQ(timer.Interval(), 80);
  EXPECT_TRUE(timer.Enabled());
}

TEST(Geometry, LoadingShowsTheSchemesButtonFaceInItsCorners) {
  TestDesktop d;
  d.startToMainWindow();
  pushButton(d, "Image10", "MF");
  const Form& loading = d.app.form(Screen::Loading);
  ASSERT_TRUE(loading.loaded());
  // Looked up in the user's colour scheme when painted, not a fixed colour.
  EXPECT_TRUE(isSystemColour(loading.BackColor()));
  EXPECT_EQ(systemColourIndex(loading.BackColor()), 15u);  // COLOR_BTNFACE
}

}  // namespace
}  // namespace velmora::testing
