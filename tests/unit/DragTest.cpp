// Dragging a window: every screen that can be dragged, each given the same
// inputs. A screen drags on exactly one of them: moving over the title bar
// with the left button alone held (the main window and the tweak pages),
// a left press on the title bar (the more, help and Pinnote pages) or a left
// press on the bare background (the about page, which has no title bar).
// Whatever the input over a title bar, the close pair returns to normal.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/Gestures.h"
#include "support/ScreenProbe.h"
#include "support/TestDesktop.h"

namespace velmora::testing {
namespace {

enum class DragsOn { MoveWithLeftOverTitleBar, LeftPressOnTitleBar, LeftPressOnBackground };

struct DraggedScreen {
  const char* name;
  DragsOn dragsOn;
  const char* closeNormal;  // nullptr: no close pair
  const char* closeHover;
};

constexpr DraggedScreen kScreens[] = {
    {.name = "FormMain", .dragsOn = DragsOn::MoveWithLeftOverTitleBar, .closeNormal = "Image2", .closeHover = "Image3"},
    {.name = "Form1", .dragsOn = DragsOn::MoveWithLeftOverTitleBar, .closeNormal = "Image2", .closeHover = "Image3"},
    {.name = "Form2", .dragsOn = DragsOn::MoveWithLeftOverTitleBar, .closeNormal = "Image2", .closeHover = "Image3"},
    {.name = "Form3", .dragsOn = DragsOn::MoveWithLeftOverTitleBar, .closeNormal = "Image2", .closeHover = "Image3"},
    {.name = "Form4", .dragsOn = DragsOn::LeftPressOnTitleBar, .closeNormal = "Image2", .closeHover = "Image3"},
    {.name = "DLB", .dragsOn = DragsOn::LeftPressOnTitleBar, .closeNormal = "Image2", .closeHover = "Image3"},
    {.name = "Form5", .dragsOn = DragsOn::LeftPressOnTitleBar, .closeNormal = "Image1", .closeHover = "Image2"},
    {.name = "Form6", .dragsOn = DragsOn::LeftPressOnBackground, .closeNormal = nullptr, .closeHover = nullptr},
};

struct Input {
  std::string what;
  bool overTitleBar;
  std::optional<DragsOn> drags;  // the trigger this input is, if any
  std::function<void(TestDesktop&)> send;
};

Point background(TestDesktop& d) { return backgroundPoint(d.shown()); }

std::vector<Input> inputs() {
  std::vector<Input> all;
  struct Held {
    const char* name;
    int mask;
  };
  for (const Held held : {Held{"nothing", 0}, Held{"left", button::kLeft}, Held{"right", button::kRight},
                          Held{"middle", button::kMiddle}, Held{"left and right", button::kLeft | button::kRight},
                          Held{"left and middle", button::kLeft | button::kMiddle}}) {
    all.push_back({.what = std::string("moving over the title bar holding ") + held.name,
                   .overTitleBar = true,
                   .drags = held.mask == button::kLeft ? std::optional(DragsOn::MoveWithLeftOverTitleBar) : std::nullopt,
                   .send = [mask = held.mask](TestDesktop& d) { d.moveTo("Picture1", mask); }});
  }
  struct Pressed {
    const char* name;
    int button;
  };
  for (const Pressed pressed :
       {Pressed{"left", button::kLeft}, Pressed{"right", button::kRight}, Pressed{"middle", button::kMiddle}}) {
    const bool left = pressed.button == button::kLeft;
    all.push_back({.what = std::string(pressed.name) + " press on the title bar",
                   .overTitleBar = true,
                   .drags = left ? std::optional(DragsOn::LeftPressOnTitleBar) : std::nullopt,
                   .send = [b = pressed.button](TestDesktop& d) {
                     d.moveTo("Picture1");
                     d.press(b);
                   }});
    all.push_back({.what = std::string(pressed.name) + " press on the background",
                   .overTitleBar = false,
                   .drags = left ? std::optional(DragsOn::LeftPressOnBackground) : std::nullopt,
                   .send = [b = pressed.button](TestDesktop& d) {
                     d.moveTo(background(d));
                     d.press(b);
                   }});
  }
  all.push_back({.what = "moving over the background holding left",
                 .overTitleBar = false,
                 .drags = std::nullopt,
                 .send = [](TestDesktop& d) { d.moveTo(background(d), button::kLeft); }});
  return all;
}

void expectDrag(TestDesktop& d, bool drags) {
  const std::string h = FakeUser32::hex(d.shown().hWnd());
  EXPECT_EQ(d.fake.user32.calls, (drags ? Log{"ReleaseCapture()", "SendMessageA(" + h + ",0xA1,2,0)"} : Log{}));
  EXPECT_EQ(d.fake.windowing.log, Log{});
}

TEST(Drag, EachScreenDragsOnItsOwnTriggerAndNoOtherInput) {
  for (const DraggedScreen& screen : kScreens) {
    for (const Input& input : inputs()) {
      const bool hasTitleBar = screen.closeNormal != nullptr;
      if (input.overTitleBar && !hasTitleBar) continue;
      SCOPED_TRACE(std::string(screen.name) + ": " + input.what);
      TestDesktop d;
      if (std::string(screen.name) == "FormMain")
        d.startToMainWindow();
      else
        reach(d, screen.name);
      if (hasTitleBar) {
        d.moveTo(screen.closeNormal);
        ASSERT_TRUE(d.shown().c(screen.closeHover).Visible());
      }
      d.fake.user32.calls.clear();
      d.fake.windowing.log.clear();
      input.send(d);
      expectDrag(d, input.drags == screen.dragsOn);
      EXPECT_EQ(d.shownName(), screen.name);
      if (input.overTitleBar) {
        EXPECT_TRUE(d.shown().c(screen.closeNormal).Visible());
        EXPECT_FALSE(d.shown().c(screen.closeHover).Visible());
      }
    }
  }
}

// Places that are neither the title bar nor the bare background: a left
// press there drags nothing, except where the about page's picture leaves
// its background bare (the padlock beside the Vaultick caption).
TEST(Drag, ALeftPressOnAControlDragsNothing) {
  struct Case {
    const char* screen;
    const char* what;
    std::function<Point(TestDesktop&)> where;
    bool drags;
  };
  auto on = [](const char* control) { return [control](TestDesktop& d) { return d.pointOn(control); }; };
  const std::vector<Case> cases = {
      {"Form5", "the usage frame", on("Frame1"), false},
      {"Form5", "the question text", on("Text1"), false},
      {"Form6", "the padlock on the background", [](TestDesktop&) { return Point{50, 140}; }, true},
      {"Form6", "a spot", on("Image3"), false},
      {"DLB", "the settings frame", on("Frame1"), false},
      {"Form1", "a check box", on("Check3"), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.screen) + ": " + c.what);
    TestDesktop d;
    reach(d, c.screen);
    d.moveTo(c.where(d));
    d.fake.user32.calls.clear();
    d.fake.windowing.log.clear();
    d.press(button::kLeft);
    expectDrag(d, c.drags);
    EXPECT_TRUE(d.fake.programStart.started.empty());
  }
}

}  // namespace
}  // namespace velmora::testing
