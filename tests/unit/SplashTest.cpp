// The start-up splash: which picture each start shows and what it leaves for
// the next start, the fade-in and the hand-over to the main window, and that
// the splash takes no input.
#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "shell/FormLoad.h"
#include "support/ScreenProbe.h"
#include "support/TestDesktop.h"

namespace velmora::testing {
namespace {

const FakeSettings::Key kPictureKey{"Velmora", "VrOpt", "LoadPictureNumber"};
const std::string kRead = "get VrOpt\\LoadPictureNumber";
std::string write(const std::string& value) { return "save VrOpt\\LoadPictureNumber=" + value; }

// The splash picture on view: "default", "rnd2", "rnd3" or "rnd4" (several
// names when more than one cover picture shows, which must not happen).
std::string pictureShown(Form& splash) {
  std::string shown;
  for (const char* cover : {"rnd2", "rnd3", "rnd4"})
    if (splash.c(cover).Visible()) shown += shown.empty() ? cover : std::string("+") + cover;
  return shown.empty() ? "default" : shown;
}

void storeBefore(TestDesktop& d, const std::optional<std::string>& stored) {
  if (stored) d.fake.settings.values[kPictureKey] = *stored;
}

TEST(Splash, StoredPictureNumberPicksThisStartsPictureAndTheNext) {
  struct Case {
    std::optional<std::string> stored;  // nullopt: never stored on this machine
    const char* picture;
    const char* next;
  };
  const Case cases[] = {
      {std::nullopt, "default", "2"},
      {"", "default", "2"},
      {"2", "rnd2", "3"},
      {"3", "rnd3", "4"},
      {"4", "rnd4", ""},
      // Anything else, however close, starts the round afresh.
      {" 2", "default", ""},
      {"2 ", "default", ""},
      {"02", "default", ""},
      {"04", "default", ""},
      {"5", "default", ""},
      {"1", "default", ""},
      {"abc", "default", ""},
      {"R", "default", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored ? "stored \"" + *c.stored + "\"" : std::string("nothing stored"));
    TestDesktop d;
    storeBefore(d, c.stored);
    d.app.start();
    ASSERT_EQ(d.shownName(), "FormLoad");
    EXPECT_EQ(pictureShown(d.shown()), c.picture);
    EXPECT_EQ(d.fake.settings.stored("VrOpt", "LoadPictureNumber"), std::optional<std::string>(c.next));
    // One read, then one write, and nothing else.
    EXPECT_EQ(d.fake.settings.log, (Log{kRead, write(c.next)}));
  }
}

TEST(Splash, PicturesGoRoundAcrossStarts) {
  std::map<FakeSettings::Key, std::string> carried;  // what survives between runs
  Log pictures, stored;
  for (int start = 0; start < 5; ++start) {
    TestDesktop d;
    d.fake.settings.values = carried;
    d.app.start();
    pictures.push_back(pictureShown(d.shown()));
    for (int tick = 0; tick < 15; ++tick) d.tickSplash();
    ASSERT_EQ(d.shownName(), "FormMain");
    stored.push_back(d.fake.settings.values[kPictureKey]);
    carried = d.fake.settings.values;
  }
  EXPECT_EQ(pictures, (Log{"default", "rnd2", "rnd3", "rnd4", "default"}));
  EXPECT_EQ(stored, (Log{"2", "3", "4", "", "2"}));
}

TEST(Splash, FadesInFromTransparentAndHandsOverOnTheFifteenthTick) {
  TestDesktop d;
  const WindowHandle splash = d.fake.windowing.nextHandle;
  const std::string h = FakeUser32::hex(splash);
  // WS_EX_TOOLWINDOW already set: the layered flag is added to it.
  d.fake.user32.styles[splash] = 0x80;
  d.app.start();
  Form& form = d.app.form(Screen::FormLoad);
  ASSERT_EQ(form.hWnd(), splash);

  Log expected = {"GetWindowLongA(" + h + ",-20)", "SetWindowLongA(" + h + ",-20,0x80080)",
                  "SetLayeredWindowAttributes(" + h + ",0xFFFFFF,0,2)"};
  EXPECT_EQ(d.fake.user32.calls, expected);
  EXPECT_EQ(form.BackColor(), kWhite);
  EXPECT_EQ(d.fake.windowing.log, (Log{"create FormLoad", "show FormLoad"}));

  for (int tick = 1; tick <= 14; ++tick) {
    SCOPED_TRACE("tick " + std::to_string(tick));
    d.tickSplash();
    expected.push_back("SetLayeredWindowAttributes(" + h + ",0xFFFFFF," + std::to_string(17 * tick) + ",2)");
    EXPECT_EQ(d.fake.user32.calls, expected);
    EXPECT_EQ(d.shownName(), "FormLoad");
    EXPECT_FALSE(d.app.form(Screen::FormMain).loaded());
  }

  d.fake.windowing.log.clear();
  d.fake.windowing.changes.clear();
  d.tickSplash();
  // The timer stops while the splash is still there, before anything else.
  ASSERT_FALSE(d.fake.windowing.changes.empty());
  EXPECT_EQ(d.fake.windowing.changes.front(), "FormLoad Timer1");
  EXPECT_EQ(d.fake.windowing.log,
            (Log{"create FormMain", "show FormMain", "hide FormLoad", "destroy FormLoad"}));
  EXPECT_EQ(d.shownName(), "FormMain");
  // Full opacity never reaches the splash.
  EXPECT_EQ(callsOn(d.fake.user32, splash), expected);
  EXPECT_EQ(d.app.page<FormLoad>(Screen::FormLoad).fadeLevel(), 255);

  // A late tick finds no splash and does not bring it back.
  const Activity after = activityOf(d.fake);
  d.tickSplash();
  d.tickSplash();
  expectNothingSince(after, d.fake);
  EXPECT_FALSE(d.app.form(Screen::FormLoad).loaded());
}

TEST(Splash, ClicksOnTheSplashDoNothing) {
  struct Case {
    std::optional<std::string> stored;
    Point at;
    int button;
  };
  const Case cases[] = {
      {std::nullopt, {290, 175}, button::kLeft}, {std::nullopt, {0, 0}, button::kRight},
      {"2", {290, 175}, button::kLeft},          {"3", {579, 349}, button::kMiddle},
      {"4", {10, 340}, button::kRight},          {"4", {560, 10}, button::kLeft},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.at.x) + "," + std::to_string(c.at.y) + " button " +
                 std::to_string(c.button));
    TestDesktop d;
    storeBefore(d, c.stored);
    d.app.start();
    d.tickSplash();
    const std::string picture = pictureShown(d.shown());
    const Activity before = activityOf(d.fake);
    d.moveTo(c.at);
    d.press(c.button);
    d.release(c.button);
    d.moveTo(c.at, c.button);
    expectNothingSince(before, d.fake);
    EXPECT_EQ(d.shownName(), "FormLoad");
    EXPECT_EQ(pictureShown(d.shown()), picture);
    // The fade goes on where it was.
    d.tickSplash();
    EXPECT_EQ(d.app.page<FormLoad>(Screen::FormLoad).fadeLevel(), 34);
  }
}

}  // namespace
}  // namespace velmora::testing
