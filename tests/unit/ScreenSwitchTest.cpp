// Screen switches: the order of hide, show, load and unload for each variant,
// and that every tile and tab reaches its screen and comes back.
#include <gtest/gtest.h>

#include <functional>

#include "shell/FormLoad.h"
#include "support/Gestures.h"
#include "support/TestDesktop.h"

namespace velmora::testing {
namespace {

using Log = std::vector<std::string>;

TEST(ScreenSwitch, SplashHandOverShowsMainBeforeTheSplashGoes) {
  TestDesktop d;
  d.app.start();
  for (int tick = 0; tick < 14; ++tick) d.tickSplash();
  d.fake.windowing.log.clear();
  d.tickSplash();
  EXPECT_EQ(d.fake.windowing.log,
            (Log{"create FormMain", "show FormMain", "hide FormLoad", "destroy FormLoad"}));
  EXPECT_EQ(d.shownName(), "FormMain");
}

struct SwitchCase {
  const char* name;
  std::function<void(TestDesktop&)> reach;  // from the main window to the starting screen
  std::function<void(TestDesktop&)> act;
  Log expected;
};

TEST(ScreenSwitch, EachVariantRunsItsStepsInOrder) {
  const std::vector<SwitchCase> cases = {
      {"via Loading, first use of Loading", [](TestDesktop&) {},
       [](TestDesktop& d) { pushButton(d, "Image10", "MF"); },
       {"hide FormMain", "create Loading", "show Loading", "destroy FormMain", "create Form4",
        "show Form4", "hide Loading"}},
      {"via Loading, Loading kept loaded",
       [](TestDesktop& d) {
         pushButton(d, "Image10", "MF");
         pushButton(d, "Image5", "Image6");
       },
       [](TestDesktop& d) { pushButton(d, "Image4", "DTF"); },
       {"hide FormMain", "show Loading", "destroy FormMain", "create Form1", "show Form1",
        "hide Loading"}},
      {"direct", [](TestDesktop&) {}, [](TestDesktop& d) { openTab(d, "GY", "GY2"); },
       {"create Form6", "show Form6", "hide FormMain", "destroy FormMain"}},
      {"return, unload first", [](TestDesktop& d) { pushButton(d, "Image10", "MF"); },
       [](TestDesktop& d) { back(d); },
       {"hide Form4", "destroy Form4", "create FormMain", "show FormMain"}},
      {"return, show first", [](TestDesktop& d) { pushButton(d, "Image10", "MF"); },
       [](TestDesktop& d) { closePage(d); },
       {"hide Form4", "create FormMain", "show FormMain", "destroy Form4"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestDesktop d;
    d.startToMainWindow();
    c.reach(d);
    d.fake.windowing.log.clear();
    c.act(d);
    EXPECT_EQ(d.fake.windowing.log, c.expected);
  }
}

struct Target {
  const char* name;
  std::function<void(TestDesktop&)> open;
  const char* screen;
  const char* caption;
  std::function<void(TestDesktop&)> back;
};

// Every way out of every page, with the order its switch keeps: the pages
// whose close leaves through the main window first (show first) and those
// that unload first, whatever the page's other buttons do.
TEST(ScreenSwitch, EveryWayOutOfEveryPageKeepsItsOrder) {
  enum class Order { UnloadFirst, ShowFirst };
  struct WayOut {
    const char* page;
    const char* way;
    std::function<void(TestDesktop&)> leave;
    Order order;
  };
  auto clickPair = [](const char* normal, const char* hover) {
    return [normal, hover](TestDesktop& d) {
      d.moveTo(normal);
      d.click(hover);
    };
  };
  auto saveButton = [](TestDesktop& d) { save(d); };
  auto backButton = [](TestDesktop& d) { back(d); };
  auto closeButton = [](TestDesktop& d) { closePage(d); };
  const std::vector<WayOut> ways = {
      {"Form1", "close", closeButton, Order::UnloadFirst},
      {"Form1", "back", backButton, Order::UnloadFirst},
      {"Form1", "save", saveButton, Order::UnloadFirst},
      {"Form2", "close", closeButton, Order::UnloadFirst},
      {"Form2", "back", backButton, Order::UnloadFirst},
      {"Form2", "save", saveButton, Order::UnloadFirst},
      {"Form3", "close", closeButton, Order::UnloadFirst},
      {"Form3", "back", backButton, Order::UnloadFirst},
      {"Form3", "save", saveButton, Order::UnloadFirst},
      {"Form4", "close", closeButton, Order::ShowFirst},
      {"Form4", "back", backButton, Order::UnloadFirst},
      {"DLB", "close", closeButton, Order::ShowFirst},
      {"DLB", "back", backButton, Order::UnloadFirst},
      {"DLB", "save", saveButton, Order::UnloadFirst},
      {"Form5", "close picture", clickPair("Image1", "Image2"), Order::ShowFirst},
      {"Form5", "back picture", [](TestDesktop& d) { d.click("Image3"); }, Order::ShowFirst},
      {"Form6", "arrow", [](TestDesktop& d) { d.click("Image5"); }, Order::ShowFirst},
  };
  for (const auto& w : ways) {
    SCOPED_TRACE(std::string(w.page) + " by its " + w.way);
    TestDesktop d;
    reach(d, w.page);
    d.fake.windowing.log.clear();
    w.leave(d);
    const std::string page = w.page;
    EXPECT_EQ(d.fake.windowing.log,
              (w.order == Order::UnloadFirst
                   ? Log{"hide " + page, "destroy " + page, "create FormMain", "show FormMain"}
                   : Log{"hide " + page, "create FormMain", "show FormMain", "destroy " + page}));
    EXPECT_EQ(d.shownName(), "FormMain");
  }
}

TEST(ScreenSwitch, EveryTileAndTabOpensItsPageWhichLeadsBack) {
  auto closePair = [](TestDesktop& d) { closePage(d); };
  auto backButton = [](TestDesktop& d) { back(d); };
  const std::vector<Target> targets = {
      {"Desktop tile", [](TestDesktop& d) { pushButton(d, "Image4", "DTF"); }, "Form1", "桌面及菜单", closePair},
      {"System tile", [](TestDesktop& d) { pushButton(d, "Image6", "SYF"); }, "Form2", "系统", backButton},
      {"My Style tile", [](TestDesktop& d) { pushButton(d, "Image8", "MSF"); }, "Form3", "其它", closePair},
      {"More tile", [](TestDesktop& d) { pushButton(d, "Image10", "MF"); }, "Form4", "更多", backButton},
      {"Pinnote tab", [](TestDesktop& d) { openTab(d, "DL", "DL2"); }, "DLB", "Pinnote", closePair},
      {"about tab", [](TestDesktop& d) { openTab(d, "GY", "GY2"); }, "Form6", "更多",
       [](TestDesktop& d) { d.click("Image5"); }},
      {"help tab", [](TestDesktop& d) { openTab(d, "BZ", "BZ2"); }, "Form5", "帮助",
       [](TestDesktop& d) {
         d.moveTo("Image1");
         d.click("Image2");
       }},
      {"help page back picture", [](TestDesktop& d) { openTab(d, "BZ", "BZ2"); }, "Form5", "帮助",
       [](TestDesktop& d) { d.click("Image3"); }},
  };
  for (const auto& t : targets) {
    SCOPED_TRACE(t.name);
    TestDesktop d;
    d.startToMainWindow();
    t.open(d);
    ASSERT_EQ(d.shownName(), t.screen);
    EXPECT_EQ(d.shown().Caption(), t.caption);
    EXPECT_FALSE(d.app.form(Screen::FormMain).loaded());
    t.back(d);
    EXPECT_EQ(d.shownName(), "FormMain");
    EXPECT_FALSE(d.app.form(Screen::Loading).visible());
  }
}

TEST(ScreenSwitch, PageComesBackInItsInitialLookWhilePageValuesSurvive) {
  TestDesktop d;
  d.startToMainWindow();
  pushButton(d, "Image10", "MF");
  d.moveTo("Image5");
  d.moveTo("Image2");
  ASSERT_TRUE(d.shown().c("Image6").Visible());
  ASSERT_TRUE(d.shown().c("Image3").Visible());
  d.click("Image3");
  pushButton(d, "Image10", "MF");
  Form& page = d.shown();
  EXPECT_TRUE(page.c("Image5").Visible());
  EXPECT_FALSE(page.c("Image6").Visible());
  EXPECT_TRUE(page.c("Image2").Visible());
  EXPECT_FALSE(page.c("Image3").Visible());
  // The splash's fade level is a page-level value: it outlives the window.
  EXPECT_FALSE(d.app.form(Screen::FormLoad).loaded());
  EXPECT_EQ(d.app.page<FormLoad>(Screen::FormLoad).fadeLevel(), 255);
}

TEST(ScreenSwitch, SystemCloseActsAsTheScreensOwnWayOut) {
  struct Case {
    const char* name;
    std::function<void(TestDesktop&)> reach;
    const char* after;  // screen on view afterwards; nullptr: program ended
  };
  const std::vector<Case> cases = {
      {"main window ends the program", [](TestDesktop&) {}, nullptr},
      {"more page returns", [](TestDesktop& d) { pushButton(d, "Image10", "MF"); }, "FormMain"},
      {"desktop page returns", [](TestDesktop& d) { pushButton(d, "Image4", "DTF"); }, "FormMain"},
      {"Pinnote page returns", [](TestDesktop& d) { openTab(d, "DL", "DL2"); }, "FormMain"},
      {"help page returns", [](TestDesktop& d) { openTab(d, "BZ", "BZ2"); }, "FormMain"},
      {"about page returns", [](TestDesktop& d) { openTab(d, "GY", "GY2"); }, "FormMain"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestDesktop d;
    d.startToMainWindow();
    c.reach(d);
    d.shown().systemClose();
    if (c.after) {
      EXPECT_EQ(d.shownName(), c.after);
      EXPECT_FALSE(d.app.ended());
    } else {
      EXPECT_TRUE(d.app.ended());
      EXPECT_TRUE(d.fake.windowing.ended);
    }
  }
}

TEST(ScreenSwitch, SystemCloseIsIgnoredOnTheSplashAndLoading) {
  TestDesktop d;
  d.app.start();
  d.tickSplash();
  d.app.form(Screen::FormLoad).systemClose();
  EXPECT_EQ(d.shownName(), "FormLoad");
  d.startToMainWindow();
  d.app.form(Screen::Loading).systemClose();
  EXPECT_EQ(d.shownName(), "FormMain");
  EXPECT_FALSE(d.app.ended());
}

}  // namespace
}  // namespace velmora::testing
