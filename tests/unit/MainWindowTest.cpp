// The main window: its skin, the looks of its tiles, tabs and close pair,
// the minimise and close pictures and the text-tool tab (its drag: DragTest).
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

#include "shell/framework/Skin.h"
#include "support/Gestures.h"
#include "support/ScreenProbe.h"
#include "support/TestDesktop.h"

namespace velmora::testing {
namespace {

using Names = std::set<std::string>;

struct Tile {
  const char* normal;
  const char* hover;
  const char* pressed;
  const char* page;
};

constexpr Tile kTiles[] = {
    {"Image4", "DTF", "Image5", "Form1"},
    {"Image6", "SYF", "Image7", "Form2"},
    {"Image8", "MSF", "Image9", "Form3"},
    {"Image10", "MF", "Image11", "Form4"},
};

// The main window as it is first shown.
const Names kInitialLook = {"Picture1", "Image1", "Image2", "Image4", "Image6",
                            "Image8",   "Image10", "DL",    "FE",     "GY",     "BZ"};

const Names kTabPictures = {"DL", "DL2", "FE", "FE2", "GY", "GY2", "BZ", "BZ2"};

Names visibleAmong(const Form& form, const Names& among) {
  Names visible;
  for (const auto& name : visibleControls(form))
    if (among.count(name)) visible.insert(name);
  return visible;
}

const char* buttonName(int b) {
  return b == button::kLeft ? "left" : b == button::kRight ? "right" : "middle";
}

TEST(MainWindowSkin, EveryEntryMakesTheWindowLayeredWithTheRedKey) {
  struct Case {
    const char* name;
    std::function<void(TestDesktop&)> reach;
    Screen screen;
    std::int32_t styleBefore;
  };
  auto toMore = [](TestDesktop& d) { pushButton(d, "Image10", "MF"); };
  const std::vector<Case> cases = {
      {"main window from the splash", [](TestDesktop&) {}, Screen::FormMain, 0},
      {"main window back from the more page",
       [&](TestDesktop& d) {
         toMore(d);
         back(d);
       },
       Screen::FormMain, 0x100},
      {"more page", toMore, Screen::Form4, 0x80008},  // already layered: stays so
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestDesktop d;
    presetExtendedStyle(d, c.styleBefore);
    d.startToMainWindow();
    c.reach(d);
    Form& form = d.shown();
    ASSERT_EQ(form.name(), d.app.form(c.screen).name());
    const std::string h = FakeUser32::hex(form.hWnd());
    EXPECT_EQ(callsOn(d.fake.user32, form.hWnd()),
              (Log{"GetWindowLongA(" + h + ",-20)",
                   "SetWindowLongA(" + h + ",-20," + FakeUser32::hex(c.styleBefore | 0x80000) + ")",
                   "SetLayeredWindowAttributes(" + h + ",0xFF,255,1)"}));
    EXPECT_EQ(form.BackColor(), kRed);
    EXPECT_EQ(form.c("Picture1").BackColor(), std::optional<Colour>(kRed));
  }
}

TEST(MainWindowSkin, LoadingWindowIsNeverLayered) {
  TestDesktop d;
  d.startToMainWindow();
  pushButton(d, "Image10", "MF");
  Form& loading = d.app.form(Screen::Loading);
  ASSERT_TRUE(loading.loaded());
  EXPECT_EQ(callsOn(d.fake.user32, loading.hWnd()), Log{});
  EXPECT_EQ(loading.BackColor(), kButtonFace);
}

TEST(MainWindowTiles, HoverAndPressWithAnyButtonThenReleaseOpensThePage) {
  for (const Tile& tile : kTiles) {
    for (int b : {button::kLeft, button::kRight, button::kMiddle}) {
      SCOPED_TRACE(std::string(tile.hover) + " pressed with " + buttonName(b));
      TestDesktop d;
      d.startToMainWindow();
      const Names threeLooks = {tile.normal, tile.hover, tile.pressed};
      d.moveTo(tile.normal);
      EXPECT_EQ(visibleAmong(d.shown(), threeLooks), Names{tile.hover});
      d.press(b);
      EXPECT_EQ(visibleAmong(d.shown(), threeLooks), Names{tile.pressed});
      EXPECT_EQ(d.shownName(), "FormMain");
      d.release(b);
      EXPECT_EQ(d.shownName(), tile.page);
    }
  }
}

TEST(MainWindowTiles, ReleaseAwayFromThePressedTileStillOpensItsPage) {
  for (std::size_t i = 0; i < std::size(kTiles); ++i) {
    const Tile& tile = kTiles[i];
    const Tile& other = kTiles[(i + 3) % std::size(kTiles)];
    for (const char* away : {"background", "another tile"}) {
      SCOPED_TRACE(std::string(tile.hover) + " released over " + away);
      TestDesktop d;
      d.startToMainWindow();
      d.moveTo(tile.normal);
      d.press();
      if (std::string(away) == "background")
        d.moveTo(backgroundPoint(d.shown()));
      else
        d.moveTo(other.normal);
      // The pressed tile keeps the pointer: nothing under it reacts.
      EXPECT_TRUE(d.shown().c(tile.pressed).Visible());
      EXPECT_TRUE(d.shown().c(other.normal).Visible());
      d.release();
      EXPECT_EQ(d.shownName(), tile.page);
    }
  }
}

TEST(MainWindowLooks, BackgroundReturnsEveryTileTabAndTheClosePairToNormal) {
  struct Case {
    const char* name;
    std::function<void(TestDesktop&)> mess;
  };
  const std::vector<Case> cases = {
      {"hovered by the pointer",
       [](TestDesktop& d) {
         d.moveTo("Image8");
         d.moveTo("FE");
         d.moveTo("BZ");
         d.moveTo("Image2");
       }},
      {"every picture away from its first look",
       [](TestDesktop& d) {
         Form& f = d.shown();
         hideControls(f, {"Image2", "Image4", "Image6", "Image8", "Image10", "GY", "BZ", "DL", "FE"});
         showControls(f, {"Image3", "DTF", "SYF", "MSF", "MF", "Image5", "Image7", "Image9", "Image11",
                          "GY2", "BZ2", "DL2", "FE2"});
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestDesktop d;
    d.startToMainWindow();
    c.mess(d);
    ASSERT_NE(visibleControls(d.shown()), kInitialLook);
    d.fake.windowing.changes.clear();
    d.moveTo(backgroundPoint(d.shown()));
    EXPECT_EQ(visibleControls(d.shown()), kInitialLook);
    EXPECT_EQ(d.shownName(), "FormMain");
  }

  // With every picture away from its first look each step of the reset
  // shows, in order: close pair, each tile's normal and pressed pictures,
  // the tile outlines, the right tabs, the left tabs.
  TestDesktop d;
  d.startToMainWindow();
  cases[1].mess(d);
  d.fake.windowing.changes.clear();
  d.moveTo(backgroundPoint(d.shown()));
  Log order;
  for (const char* name : {"Image2", "Image3", "Image4", "Image5", "Image6", "Image7", "Image8",
                           "Image9", "Image10", "Image11", "DTF", "SYF", "MSF", "MF", "GY", "BZ",
                           "GY2", "BZ2", "DL", "FE", "DL2", "FE2"})
    order.push_back(std::string("FormMain ") + name);
  EXPECT_EQ(d.fake.windowing.changes, order);
}

TEST(MainWindowLooks, APointerRestingOnTheBackgroundRepaintsNothing) {
  TestDesktop d;
  d.startToMainWindow();
  const Point rest = backgroundPoint(d.shown());
  d.moveTo(rest);
  d.fake.windowing.changes.clear();
  // Every picture is already as the reset wants it: nothing is reported to
  // the window, so nothing is drawn again.
  d.moveTo(rest);
  d.moveTo(rest);
  EXPECT_EQ(d.fake.windowing.changes, Log{});
  EXPECT_EQ(visibleControls(d.shown()), kInitialLook);
}

TEST(MainWindowLooks, HoveringATabReturnsTheOtherTabOfItsSide) {
  struct Case {
    const char* tab;
    std::vector<const char*> before;  // tabs hovered first
    Names visible;                    // tab pictures on view afterwards
  };
  const std::vector<Case> cases = {
      {"DL", {"FE", "GY"}, {"DL2", "FE", "GY2", "BZ"}},
      {"FE", {"DL", "BZ"}, {"DL", "FE2", "GY", "BZ2"}},
      {"GY", {"BZ", "DL"}, {"DL2", "FE", "GY2", "BZ"}},
      {"BZ", {"GY", "FE"}, {"DL", "FE2", "GY", "BZ2"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tab);
    TestDesktop d;
    d.startToMainWindow();
    for (const char* tab : c.before) d.moveTo(tab);
    d.moveTo(c.tab);
    EXPECT_EQ(visibleAmong(d.shown(), kTabPictures), c.visible);
  }
}

TEST(MainWindowTextTool, TabShowsOneNoticeAndTheWindowStaysAsItWas) {
  TestDesktop d;
  d.startToMainWindow();
  d.moveTo("FE");
  const Names look = visibleControls(d.shown());
  const Log windows = d.fake.windowing.log;
  const Log settings = d.fake.settings.log;
  d.click("FE2");
  ASSERT_EQ(d.fake.messageBox.shown.size(), 1u);
  EXPECT_EQ(d.fake.messageBox.shown[0].prompt, "即将更新，敬请期待。");
  EXPECT_EQ(d.fake.messageBox.shown[0].title, "注意");
  EXPECT_EQ(d.fake.messageBox.shown[0].style, 48);
  EXPECT_EQ(d.fake.windowing.log, windows);
  EXPECT_EQ(d.shownName(), "FormMain");
  // The tab keeps its hover look.
  EXPECT_EQ(visibleControls(d.shown()), look);
  EXPECT_TRUE(d.shown().c("FE2").Visible());
  EXPECT_EQ(d.fake.settings.log, settings);
}

TEST(MainWindowMinimise, MinimisesAndKeepsTheLookAsItWas) {
  TestDesktop d;
  d.startToMainWindow();
  d.moveTo("Image6");
  d.moveTo("GY");
  d.moveTo("Image1");
  const Names look = visibleControls(d.shown());
  d.fake.windowing.log.clear();
  d.click("Image1");
  EXPECT_EQ(d.fake.windowing.log, Log{"state FormMain 1"});
  EXPECT_EQ(d.app.form(Screen::FormMain).WindowState(), 1);
  EXPECT_EQ(visibleControls(d.app.form(Screen::FormMain)), look);
  EXPECT_EQ(d.shownName(), "FormMain");
}

TEST(MainWindowClose, EndsTheProgramAndEveryWindowGoes) {
  TestDesktop d;
  d.startToMainWindow();
  // A visit to a page leaves Loading loaded and hidden.
  pushButton(d, "Image10", "MF");
  back(d);
  ASSERT_EQ(d.shownName(), "FormMain");
  ASSERT_TRUE(d.app.form(Screen::Loading).loaded());
  const Log settings = d.fake.settings.log;
  d.fake.windowing.log.clear();

  d.moveTo("Image2");
  d.click("Image3");

  EXPECT_TRUE(d.app.ended());
  ASSERT_FALSE(d.fake.windowing.log.empty());
  EXPECT_EQ(d.fake.windowing.log.back(), "end");
  Log beforeEnd(d.fake.windowing.log.begin(), d.fake.windowing.log.end() - 1);
  std::sort(beforeEnd.begin(), beforeEnd.end());
  EXPECT_EQ(beforeEnd, (Log{"destroy FormMain", "destroy Loading"}));
  EXPECT_TRUE(d.fake.windowing.forms.empty());
  EXPECT_EQ(d.fake.settings.log, settings);
  EXPECT_TRUE(d.fake.messageBox.shown.empty());

  const Activity ended = activityOf(d.fake);
  EXPECT_NO_THROW(pokeEveryWindow(d));
  expectNothingSince(ended, d.fake);
}

}  // namespace
}  // namespace velmora::testing
