// The Pinnote page: how it is built, how it shows the stored options, what a
// save writes after which clicks, and the description box under the pointer.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <set>

#include "support/Gestures.h"
#include "support/ScreenProbe.h"
#include "support/TestDesktop.h"

namespace velmora::testing {
namespace {

constexpr Colour kPageBlue = rgb(74, 114, 190);
using Stored = std::map<std::string, std::string>;  // key -> value under Velmora\Pinnote

void store(TestDesktop& d, const Stored& stored) {
  for (const auto& [key, value] : stored) d.fake.settings.values[{"Velmora", "Pinnote", key}] = value;
}

void openPinnotePage(TestDesktop& d) {
  openTab(d, "DL", "DL2");
  ASSERT_EQ(d.shownName(), "DLB");
}

void startOnPinnotePage(TestDesktop& d, const Stored& stored = {}) {
  store(d, stored);
  d.startToMainWindow();
  openPinnotePage(d);
}

// The page's writes; the splash keeps its own section.
Log writes(const FakeSettings& settings) {
  Log saves;
  for (const auto& entry : settings.log)
    if (entry.rfind("save Pinnote\\", 0) == 0) saves.push_back(entry);
  return saves;
}

TEST(PinnotePage, IsBuiltAsDrawn) {
  struct Expected {
    const char* name;
    ControlKind kind;
    const char* container;
    Rect place;
    const char* caption;
    Colour fore;
    std::optional<Colour> back;  // after the load step
    int value;
    bool enabled;
  };
  const std::optional<Colour> none;
  const std::vector<Expected> expected = {
      {"Frame1", ControlKind::Frame, "", {24, 56, 337, 193}, "Pinnote", rgb(192, 255, 192), kPageBlue, 0, true},
      {"skinimage1", ControlKind::Image, "Frame1", {16, 24, 80, 93}, "", kBlack, none, 0, true},
      {"skinimage2", ControlKind::Image, "Frame1", {120, 24, 80, 93}, "", kBlack, none, 0, true},
      {"Option1", ControlKind::OptionButton, "Frame1", {16, 120, 73, 25}, "阿狸便签", kWhite, kPageBlue, 1, true},
      {"Option2", ControlKind::OptionButton, "Frame1", {128, 120, 73, 25}, "普通便签", kWhite, kPageBlue, 0, true},
      {"Option3", ControlKind::OptionButton, "Frame1", {232, 120, 81, 25}, "敬请期待", kWhite, kPageBlue, 0, false},
      {"Check1", ControlKind::CheckBox, "Frame1", {16, 152, 105, 25}, "保持窗体最前", kWhite, kPageBlue, 1, true},
      {"COLOR", ControlKind::Label, "Frame1", {128, 156, 113, 17}, "当前标题栏颜色：黑", kWhite, none, 0, true},
      {"RED", ControlKind::Label, "Frame1", {256, 156, 17, 17}, "", kBlack, rgb(255, 0, 0), 0, true},
      {"GREEN", ControlKind::Label, "Frame1", {280, 156, 17, 17}, "", kBlack, rgb(0, 192, 0), 0, true},
      {"BLACK", ControlKind::Label, "Frame1", {304, 156, 17, 17}, "", kBlack, rgb(0, 0, 0), 0, true},
      {"Frame2", ControlKind::Frame, "", {24, 264, 337, 73}, "描述", rgb(255, 128, 128), kPageBlue, 0, true},
      {"Label1", ControlKind::Label, "Frame2", {16, 16, 289, 33}, "请您在上面的选项中进行选择。", kWhite, kPageBlue, 0,
       true},
      {"Label2", ControlKind::Label, "Frame2", {16, 48, 289, 17}, "更多功能？请期待新版本。。。", kWhite, kPageBlue, 0,
       true},
  };
  const std::set<std::string> swatches = {"RED", "GREEN", "BLACK"};
  TestDesktop d;
  d.startToMainWindow();
  d.fake.settings.log.clear();
  openPinnotePage(d);
  Form& page = d.shown();
  for (const auto& e : expected) {
    SCOPED_TRACE(e.name);
    const Control& control = page.c(e.name);
    EXPECT_EQ(control.kind(), e.kind);
    EXPECT_EQ(containerOf(control), e.container);
    EXPECT_EQ(placeOf(control), placeOf(e.place));
    EXPECT_EQ(control.Caption(), e.caption);
    EXPECT_EQ(control.ForeColor(), e.fore);
    EXPECT_EQ(control.BackColor(), e.back);
    EXPECT_EQ(control.Value(), e.value);
    EXPECT_EQ(control.Enabled(), e.enabled);
    EXPECT_TRUE(control.Visible());
    const bool swatch = swatches.count(e.name) != 0;
    EXPECT_EQ(control.Cursor(), swatch ? CursorShape::Hand : CursorShape::Arrow);
    if (e.kind != ControlKind::Image) expectFont(control, "微软雅黑", 9);
  }
  EXPECT_TRUE(page.c("COLOR").BackTransparent());
  EXPECT_EQ(page.c("skinimage1").Picture(), "dlb/skinimage1");
  EXPECT_EQ(page.c("skinimage2").Picture(), "dlb/skinimage2");
  EXPECT_EQ(page.c("Image3").ToolTipText(), "关闭");

  // Keyed on pure green, so the pure-red swatch stays opaque.
  const WindowHandle w = page.hWnd();
  EXPECT_EQ(callsOn(d.fake.user32, w),
            (Log{"GetWindowLongA(" + FakeUser32::hex(w) + ",-20)",
                 "SetWindowLongA(" + FakeUser32::hex(w) + ",-20,0x80000)",
                 "SetLayeredWindowAttributes(" + FakeUser32::hex(w) + ",0xFF00,255,1)"}));
  EXPECT_EQ(page.BackColor(), kGreen);
  EXPECT_EQ(page.c("Picture1").BackColor(), kGreen);
  EXPECT_EQ(d.fake.settings.log, (Log{"get Pinnote\\Front", "get Pinnote\\Skin", "get Pinnote\\Color"}));
}

TEST(PinnotePage, ShowsStoredValuesByExactMatchOnly) {
  struct Case {
    const char* name;
    std::optional<std::string> stored;  // in all three keys; nullopt: none stored
    int check1;
    const char* selected;
    const char* colourCaption;
  };
  const std::string huge(100000, 'R');
  const std::vector<Case> cases = {
      {"absent", std::nullopt, 1, "Option1", "当前标题栏颜色：黑"},
      {"No", "No", 0, "Option1", "当前标题栏颜色："},
      {"no", "no", 1, "Option1", "当前标题栏颜色："},
      {"2", "2", 1, "Option2", "当前标题栏颜色："},
      {"R", "R", 1, "Option1", "当前标题栏颜色：红"},
      {"G", "G", 1, "Option1", "当前标题栏颜色：绿"},
      {"B", "B", 1, "Option1", "当前标题栏颜色：黑"},
      {"empty", "", 1, "Option1", "当前标题栏颜色：黑"},
      {"X", "X", 1, "Option1", "当前标题栏颜色："},
      {"100,000 characters", huge, 1, "Option1", "当前标题栏颜色："},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestDesktop d;
    if (c.stored) startOnPinnotePage(d, {{"Front", *c.stored}, {"Skin", *c.stored}, {"Color", *c.stored}});
    else startOnPinnotePage(d);
    Form& page = d.shown();
    EXPECT_EQ(page.c("Check1").Value(), c.check1);
    for (const char* option : {"Option1", "Option2", "Option3"})
      EXPECT_EQ(page.c(option).Value(), std::string(option) == c.selected ? 1 : 0) << option;
    EXPECT_EQ(page.c("COLOR").Caption(), c.colourCaption);
    EXPECT_EQ(writes(d.fake.settings), Log{});
  }
}

TEST(PinnotePage, SaveWritesTouchedOptionsOnlyInTheOrderFrontSkinColor) {
  struct Case {
    const char* name;
    Stored stored;
    std::function<void(TestDesktop&)> act;  // on the page; the save follows
    Log expected;                            // every write of the run
  };
  auto clicks = [](std::vector<const char*> controls) {
    return [controls](TestDesktop& d) {
      for (const char* control : controls) d.click(control);
    };
  };
  auto pressCheck1ReleaseOutside = [](TestDesktop& d) {
    d.moveTo("Check1");
    d.press();
    d.moveTo(backgroundPoint(d.shown()));
    d.release();
  };
  auto swatchThenBackAndReturn = [](TestDesktop& d) {
    d.click("RED");
    back(d);
    openPinnotePage(d);
  };
  const std::vector<Case> cases = {
      {"no click at all", {}, [](TestDesktop&) {}, {}},
      {"no click over values that change the look", {{"Front", "No"}, {"Skin", "2"}, {"Color", "R"}},
       [](TestDesktop&) {}, {}},
      {"no click over values the page does not know", {{"Front", "x"}, {"Skin", "x"}, {"Color", "X"}},
       [](TestDesktop&) {}, {}},
      {"GREEN then BLACK", {}, clicks({"GREEN", "BLACK"}), {"save Pinnote\\Color=B"}},
      {"skinimage2", {}, clicks({"skinimage2"}), {"save Pinnote\\Skin=2"}},
      {"skinimage1 over a stored 2", {{"Skin", "2"}}, clicks({"skinimage1"}), {"save Pinnote\\Skin="}},
      {"Option2", {}, clicks({"Option2"}), {"save Pinnote\\Skin=2"}},
      {"Check1 clicked", {}, clicks({"Check1"}), {"save Pinnote\\Front=No"}},
      {"Check1 pressed, released outside", {}, pressCheck1ReleaseOutside, {"save Pinnote\\Front=Yes"}},
      {"Check1 pressed, released outside, over a stored No", {{"Front", "No"}}, pressCheck1ReleaseOutside,
       {"save Pinnote\\Front=No"}},
      {"Check1 toggled by the space bar", {}, [](TestDesktop& d) { d.space("Check1"); }, {"save Pinnote\\Front=No"}},
      {"Check1 pressed with the right button", {},
       [](TestDesktop& d) {
         d.moveTo("Check1");
         d.press(button::kRight);
         d.release(button::kRight);
       },
       {}},
      {"all three, touched last to first", {}, clicks({"RED", "Option2", "Check1"}),
       {"save Pinnote\\Front=No", "save Pinnote\\Skin=2", "save Pinnote\\Color=R"}},
      {"swatch on a visit left by back, nothing stored", {}, swatchThenBackAndReturn, {"save Pinnote\\Color=B"}},
      {"swatch on a visit left by back, G stored", {{"Color", "G"}}, swatchThenBackAndReturn,
       {"save Pinnote\\Color=G"}},
      {"swatch on a visit left by back, X stored", {{"Color", "X"}}, swatchThenBackAndReturn, {}},
      {"flags outlive a save",
       {},
       [](TestDesktop& d) {
         d.click("GREEN");
         d.click("skinimage2");
         save(d);
         openPinnotePage(d);
       },
       {"save Pinnote\\Skin=2", "save Pinnote\\Color=G", "save Pinnote\\Skin=2", "save Pinnote\\Color=G"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestDesktop d;
    startOnPinnotePage(d, c.stored);
    c.act(d);
    ASSERT_EQ(d.shownName(), "DLB");
    save(d);
    EXPECT_EQ(writes(d.fake.settings), c.expected);
    EXPECT_EQ(d.shownName(), "FormMain");
  }
}

TEST(PinnotePage, CloseAndBackWriteNothing) {
  const std::vector<std::pair<const char*, std::function<void(TestDesktop&)>>> ways = {{"close", closePage},
                                                                                       {"back", back}};
  for (const auto& [name, leave] : ways) {
    SCOPED_TRACE(name);
    TestDesktop d;
    startOnPinnotePage(d);
    for (const char* control : {"Check1", "skinimage2", "GREEN"}) d.click(control);
    leave(d);
    EXPECT_EQ(d.shownName(), "FormMain");
    EXPECT_EQ(writes(d.fake.settings), Log{});
  }
}

TEST(PinnotePage, ColourPickShowsTheLastSwatchClicked) {
  struct Case {
    const char* storedColour;
    std::vector<const char*> swatches;
    const char* caption;
  };
  const std::vector<Case> cases = {
      {"", {"RED"}, "当前所选的颜色：红"},
      {"R", {"GREEN"}, "当前所选的颜色：绿"},
      {"X", {"BLACK"}, "当前所选的颜色：黑"},
      {"", {"GREEN", "BLACK", "RED"}, "当前所选的颜色：红"},
  };
  for (const auto& c : cases) {
    TestDesktop d;
    startOnPinnotePage(d, {{"Color", c.storedColour}});
    for (const char* swatch : c.swatches) d.click(swatch);
    const Control& colour = d.shown().c("COLOR");
    EXPECT_EQ(colour.Caption(), c.caption) << "stored " << c.storedColour;
    // Nothing takes on the chosen colour.
    EXPECT_EQ(colour.ForeColor(), kWhite);
    EXPECT_EQ(d.shown().c("RED").BackColor(), rgb(255, 0, 0));
  }
}

TEST(PinnotePage, DescriptionBoxFollowsThePointer) {
  const std::string restart = "设置后重新运行 Pinnote 即可。";
  const std::string hint = "请您在上面的选项中进行选择。";
  const std::string note = "更多功能？请期待新版本。。。";
  struct Case {
    std::function<Point(TestDesktop&)> where;
    const char* name;
    std::string description, noteText;
  };
  auto on = [](const char* control) { return [control](TestDesktop& d) { return d.pointOn(control); }; };
  const std::string skin = "本设置用于更改 Pinnote 的皮肤。";
  const std::string colour = "本设置可以更改 标题栏文字 颜色。";
  const std::vector<Case> cases = {
      {on("Check1"), "Check1", "可以使 Pinnote 始终保持在其它窗口前端。", restart},
      {on("Option1"), "Option1", skin, restart},
      {on("Option2"), "Option2", skin, restart},
      {on("RED"), "RED", colour, restart},
      {on("GREEN"), "GREEN", colour, restart},
      {on("BLACK"), "BLACK", colour, restart},
      {[](TestDesktop& d) {
         const Rect r = d.shown().c("Option3").formRect();
         return Point{r.left + r.width / 2, r.top + r.height / 2};
       },
       "disabled Option3", hint, note},
      {on("Frame1"), "Frame1", hint, note},
      {[](TestDesktop& d) { return backgroundPoint(d.shown()); }, "background", hint, note},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestDesktop d;
    startOnPinnotePage(d);
    d.moveTo("Check1");
    d.moveTo("Picture1");  // leaves the labels as Check1 wrote them
    d.moveTo(c.where(d));
    EXPECT_EQ(d.shown().c("Label1").Caption(), c.description);
    EXPECT_EQ(d.shown().c("Label2").Caption(), c.noteText);
  }
  // The skin pictures and the colour caption leave the box as it is.
  for (const char* quiet : {"skinimage1", "skinimage2", "COLOR"}) {
    SCOPED_TRACE(quiet);
    TestDesktop d;
    startOnPinnotePage(d);
    d.moveTo("RED");
    d.moveTo(quiet);
    EXPECT_EQ(d.shown().c("Label1").Caption(), colour);
    EXPECT_EQ(d.shown().c("Label2").Caption(), restart);
  }
}

}  // namespace
}  // namespace velmora::testing
