// The more page: the back button with any mouse button, the hover reset
// over its background and the close picture's tooltip (its drag: DragTest).
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "shell/framework/Skin.h"
#include "support/Gestures.h"
#include "support/ScreenProbe.h"
#include "support/TestDesktop.h"

namespace velmora::testing {
namespace {

using Names = std::set<std::string>;

void openMorePage(TestDesktop& d) {
  d.startToMainWindow();
  pushButton(d, "Image10", "MF");
  ASSERT_EQ(d.shownName(), "Form4");
}

TEST(MorePage, PressOnTheBackgroundLeavesTheLookAlone) {
  TestDesktop d;
  openMorePage(d);
  d.moveTo(backgroundPoint(d.shown()));
  const Names look = visibleControls(d.shown());
  const Activity before = activityOf(d.fake);
  for (int b : {button::kLeft, button::kRight}) {
    d.press(b);
    d.release(b);
  }
  expectNothingSince(before, d.fake);
  EXPECT_EQ(visibleControls(d.shown()), look);
}

TEST(MorePage, BackButtonPressedWithAnyButtonLeavesOnRelease) {
  for (int b : {button::kLeft, button::kRight, button::kMiddle}) {
    SCOPED_TRACE("button " + std::to_string(b));
    TestDesktop d;
    openMorePage(d);
    d.moveTo("Image5");
    d.press(b);
    EXPECT_TRUE(d.shown().c("back").Visible());
    EXPECT_FALSE(d.shown().c("Image6").Visible());
    d.fake.windowing.log.clear();
    d.release(b);
    EXPECT_EQ(d.fake.windowing.log,
              (Log{"hide Form4", "destroy Form4", "create FormMain", "show FormMain"}));
    EXPECT_EQ(d.shownName(), "FormMain");
  }
}

TEST(MorePage, BackgroundResetsTheClosePairAndBackButButLeavesThePressedBack) {
  TestDesktop d;
  openMorePage(d);
  Form& page = d.shown();
  // Every picture the reset knows away from its first look, and the pressed
  // back picture showing.
  hideControls(page, {"Image2", "Image5"});
  showControls(page, {"Image3", "Image6", "back"});
  d.fake.windowing.changes.clear();
  d.moveTo(backgroundPoint(page));
  EXPECT_EQ(visibleControls(page), (Names{"Picture1", "Image2", "Image5", "back"}));
  EXPECT_EQ(d.fake.windowing.changes,
            (Log{"Form4 Image2", "Form4 Image3", "Form4 Image6", "Form4 Image5"}));
}

TEST(MorePage, ClosePictureSaysWhatItDoes) {
  TestDesktop d;
  openMorePage(d);
  const Control& close = d.shown().c("Image3");
  EXPECT_EQ(close.ToolTipText(), "关闭");
  EXPECT_EQ(close.Cursor(), CursorShape::Hand);
}

}  // namespace
}  // namespace velmora::testing
