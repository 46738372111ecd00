// The help page: its frames and text boxes, the two texts byte for byte,
// the close pair and the ways back (its drag: DragTest).
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "support/Gestures.h"
#include "support/ScreenProbe.h"
#include "support/TestDesktop.h"

namespace velmora::testing {
namespace {

constexpr Colour kPageBlue = rgb(74, 114, 190);

void openHelpPage(TestDesktop& d) {
  d.startToMainWindow();
  openTab(d, "BZ", "BZ2");
  ASSERT_EQ(d.shownName(), "Form5");
}

TEST(HelpPage, IsBuiltAsDrawn) {
  struct Expected {
    const char* name;
    ControlKind kind;
    const char* container;
    Rect place;
    const char* caption;
    Colour fore;
    Font font;
  };
  const std::vector<Expected> expected = {
      {"Frame1", ControlKind::Frame, "", {8, 40, 488, 129}, "使用方法及原理", rgb(255, 255, 128), {"微软雅黑", 10.5}},
      {"Text2", ControlKind::TextBox, "Frame1", {8, 24, 473, 113}, "", kWhite, {"微软雅黑", 9}},
      {"Frame2", ControlKind::Frame, "", {8, 160, 489, 177}, "常见问题", rgb(255, 128, 128), {"宋体", 10.5}},
      {"Text1", ControlKind::TextBox, "Frame2", {8, 16, 473, 177}, "", kWhite, {"微软雅黑", 9}},
  };
  TestDesktop d;
  openHelpPage(d);
  Form& page = d.shown();
  EXPECT_EQ(page.clientWidth(), 581);
  EXPECT_EQ(page.clientHeight(), 351);
  for (const auto& e : expected) {
    SCOPED_TRACE(e.name);
    const Control& control = page.c(e.name);
    EXPECT_EQ(control.kind(), e.kind);
    EXPECT_EQ(containerOf(control), e.container);
    EXPECT_EQ(placeOf(control), placeOf(e.place));
    EXPECT_EQ(control.Caption(), e.caption);
    EXPECT_EQ(control.ForeColor(), e.fore);
    EXPECT_EQ(control.BackColor(), kPageBlue);
    expectFont(control, e.font.face, e.font.points);
    if (e.kind == ControlKind::TextBox) {
      // Read-only yet enabled, so that the text can still be selected.
      EXPECT_TRUE(control.Locked());
      EXPECT_TRUE(control.Enabled());
      EXPECT_TRUE(control.MultiLine());
      EXPECT_FALSE(control.Border());
    }
  }
  const Control& backPicture = page.c("Image3");
  EXPECT_EQ(backPicture.container(), nullptr);
  EXPECT_EQ(backPicture.formRect().left, 497 + 1.0 / 3);
  EXPECT_EQ(backPicture.Picture(), "form5/Image3");
  EXPECT_EQ(backPicture.Cursor(), CursorShape::Hand);
  EXPECT_EQ(page.c("Image2").Cursor(), CursorShape::Hand);
  EXPECT_EQ(page.c("Image2").ToolTipText(), "");

  // Where the frames overlap, the question frame lies on top.
  EXPECT_EQ(page.controlAt(100, 165)->name(), "Frame2");
  EXPECT_EQ(page.controlAt(100, 150)->name(), "Text2");

  const WindowHandle w = page.hWnd();
  EXPECT_EQ(callsOn(d.fake.user32, w).back(),
            "SetLayeredWindowAttributes(" + FakeUser32::hex(w) + ",0xFF,255,1)");
  EXPECT_EQ(page.BackColor(), kRed);
  EXPECT_EQ(page.c("Picture1").BackColor(), kRed);
}

TEST(HelpPage, TextsAreTheFixedOnesWithWindowsLineEnds) {
  const std::vector<std::string> usagePieces = {
      "您需要一个独特、华丽的Windows吗？",
      "Velmora是你最正确的选择。",
      "电脑变得绚丽多彩、与众不同，极富个人魅力。",
      "它拥有许多其它美化软件所没有的优势！",
      "功能强大，操作简单，使用方便，同时还具有详细的功能描述，即使您对于电脑操作是多么的",
      "\x22菜鸟\x22",
      "，您都能够将很轻松地使用此款软件。",
      "您可以通过这款软件随意修改您的桌面图标，开始菜单，系统安全，浏览器自定义等众多非常实用的设置，轻松打造一个属于自"
      "己的Windows！",
  };
  const std::vector<std::string> questionLines = {
      "Q 为什么有些设置没有效果？",
      "A 有些设置是无法立即生效的，需要您手动重新启动计算机才能生效。",
      "Q 为什么总是会被杀毒软件提示？",
      "A 因为本软件功能的实现主要是靠注册表的修改，被杀毒软件提示或拦截是正常现象，绝非恶意代码。",
      "Q 我觉得功能还不够多！",
      "A 您有什么需要的话可以和客服QQ留言交流，我们会在新版本中更新您所需要的功能，同时也欢迎您向我们提出好的建议，以便于我"
      "们做得更好。",
      "如果您还有更多的疑问，可以提问客服QQ。",
  };
  std::string usage;
  for (const auto& piece : usagePieces) usage += piece;
  usage += "\r\n";
  std::string questions;
  for (const auto& line : questionLines) questions += line + "\r\n";

  TestDesktop d;
  openHelpPage(d);
  EXPECT_EQ(d.shown().c("Text2").Text(), usage);
  EXPECT_EQ(d.shown().c("Text1").Text(), questions);
}

TEST(HelpPage, ClosePairAndBackPicture) {
  TestDesktop d;
  openHelpPage(d);
  Form& page = d.shown();
  // The normal close picture turns into the hover one, which closes.
  d.moveTo("Image1");
  EXPECT_TRUE(page.c("Image2").Visible());
  EXPECT_FALSE(page.c("Image1").Visible());
  // The frames and text boxes leave the hover picture showing; the background
  // puts the normal one back.
  for (const char* quiet : {"Frame1", "Text2", "Text1"}) d.moveTo(quiet);
  EXPECT_TRUE(page.c("Image2").Visible());
  d.moveTo(backgroundPoint(page));
  EXPECT_EQ(visibleControls(page), (std::set<std::string>{"Picture1", "Image1", "Frame1", "Text2", "Frame2",
                                                           "Text1", "Image3"}));

  for (const char* way : {"close", "back"}) {
    SCOPED_TRACE(way);
    TestDesktop t;
    openHelpPage(t);
    if (std::string(way) == "close") t.moveTo("Image1");
    t.fake.windowing.log.clear();
    t.click(std::string(way) == "close" ? "Image2" : "Image3");
    EXPECT_EQ(t.fake.windowing.log, (Log{"hide Form5", "create FormMain", "show FormMain", "destroy Form5"}));
  }
}

}  // namespace
}  // namespace velmora::testing
