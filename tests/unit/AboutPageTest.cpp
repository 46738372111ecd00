// The about page: what each spot starts or shows, that the browser is the
// desktop shell started by its full path (its drag: DragTest).
#include <gtest/gtest.h>

#include <functional>

#include "info/WebAddresses.h"
#include "support/Gestures.h"
#include "support/ScreenProbe.h"
#include "support/TestDesktop.h"

namespace velmora::testing {
namespace {

using Started = std::vector<std::pair<std::string, int>>;

void openAboutPage(TestDesktop& d) {
  d.startToMainWindow();
  openTab(d, "GY", "GY2");
  ASSERT_EQ(d.shownName(), "Form6");
}

TEST(AboutPage, IsBuiltAsDrawn) {
  struct Expected {
    const char* name;
    Rect place;
  };
  const std::vector<Expected> expected = {
      {"Image1", {80, 57 + 1.0 / 3, 101, 31}},   {"Image2", {82, 130, 96, 29}},
      {"Image3", {21 + 1.0 / 3, 178, 121, 90}}, {"Image4", {21 + 1.0 / 3, 280, 120, 36}},
      {"Image5", {486, 262, 60, 60}},
  };
  TestDesktop d;
  openAboutPage(d);
  Form& page = d.shown();
  EXPECT_EQ(page.clientWidth(), 581);
  EXPECT_EQ(page.clientHeight(), 351);
  EXPECT_EQ(page.backgroundPicture(), "form6/background");
  ASSERT_EQ(page.controls().size(), expected.size());
  for (const auto& e : expected) {
    SCOPED_TRACE(e.name);
    const Control& spot = page.c(e.name);
    EXPECT_EQ(spot.kind(), ControlKind::Image);
    EXPECT_EQ(spot.Picture(), std::string("form6/") + e.name);
    EXPECT_EQ(placeOf(spot), placeOf(e.place));
    EXPECT_EQ(spot.Cursor(), CursorShape::Hand);
    EXPECT_TRUE(spot.Visible());
  }
  const WindowHandle w = page.hWnd();
  EXPECT_EQ(callsOn(d.fake.user32, w).back(),
            "SetLayeredWindowAttributes(" + FakeUser32::hex(w) + ",0xFF,255,1)");
  EXPECT_EQ(page.BackColor(), kRed);
}

TEST(AboutPage, EachSpotStartsTheBrowserOrShowsItsMessage) {
  const std::string explorer = "C:\\WINDOWS\\explorer.exe ";
  struct Case {
    const char* spot;
    Started started;
    std::vector<std::string> message;  // prompt, title; empty for none
  };
  const std::vector<Case> cases = {
      {"Image1", {{explorer + web::kProductPage, 1}}, {}},
      {"Image2", {}, {"Vaultick当前处于研发阶段，暂不能使用，请您谅解。", "注意"}},
      {"Image3", {{explorer + web::kMakerSite, 1}}, {}},
      {"Image4", {{explorer + web::kAuthorMicroblog, 1}}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.spot);
    TestDesktop d;
    openAboutPage(d);
    const Log windowsBefore = d.fake.windowing.log;
    d.click(c.spot);
    EXPECT_EQ(d.fake.programStart.started, c.started);
    if (c.message.empty()) {
      EXPECT_TRUE(d.fake.messageBox.shown.empty());
    } else {
      ASSERT_EQ(d.fake.messageBox.shown.size(), 1u);
      EXPECT_EQ(d.fake.messageBox.shown[0].prompt, c.message[0]);
      EXPECT_EQ(d.fake.messageBox.shown[0].style, 64);
      EXPECT_EQ(d.fake.messageBox.shown[0].title, c.message[1]);
    }
    // The page stays as it is; a second click does it again.
    EXPECT_EQ(d.fake.windowing.log, windowsBefore);
    d.click(c.spot);
    EXPECT_EQ(d.fake.programStart.started.size(), 2 * c.started.size());
    EXPECT_EQ(d.fake.messageBox.shown.size(), c.message.empty() ? 0u : 2u);
  }
}

TEST(AboutPage, BrowserIsTheDesktopShellFromTheWindowsFolder) {
  struct Case {
    const char* windowsDirectory;
    Started started;
  };
  const std::string address = web::kMakerSite;
  const std::vector<Case> cases = {
      {"D:\\WINNT", {{"D:\\WINNT\\explorer.exe " + address, 1}}},
      {"C:\\My Windows", {{"\"C:\\My Windows\\explorer.exe\" " + address, 1}}},
      // Unknown: a bare name would search our own folder first.
      {"", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.windowsDirectory);
    TestDesktop d;
    d.fake.programStart.windowsDirectory = c.windowsDirectory;
    openAboutPage(d);
    d.click("Image3");
    EXPECT_EQ(d.fake.programStart.started, c.started);
  }
}

TEST(AboutPage, ArrowReturnsToTheMainWindow) {
  TestDesktop d;
  openAboutPage(d);
  d.fake.windowing.log.clear();
  d.click("Image5");
  EXPECT_EQ(d.fake.windowing.log, (Log{"hide Form6", "create FormMain", "show FormMain", "destroy Form6"}));
  EXPECT_TRUE(d.fake.programStart.started.empty());
}

}  // namespace
}  // namespace velmora::testing
