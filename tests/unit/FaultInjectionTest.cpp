// Everything the program leans on failing at once or in turn: registry reads
// and writes, the shell object, the settings store, the Windows version and
// window creation. Each ends in the program's own answer to it — a failed
// read counts as absent, refused writes are named in one warning while the
// page stays open with its marks, an unknown Windows locks the XP-only
// boxes, a window that cannot be made ends the program with one message —
// and never in a crash or in a choice lost without a word.
#include <gtest/gtest.h>

#include <functional>

#include "support/ScreenProbe.h"
#include "support/TweakProbe.h"

namespace velmora::testing {
namespace {

// Every value a tweak page reads or writes.
std::vector<std::string> tweakPaths() {
  std::vector<std::string> paths(kDesktopPaths.begin(), kDesktopPaths.end());
  paths.insert(paths.end(), kSecurityPaths.begin(), kSecurityPaths.end());
  paths.push_back(kTitlePath);
  return paths;
}

bool mentions(const std::string& text, const std::string& words) { return text.find(words) != std::string::npos; }

// Marks what a save of the page would write: every box pressed, or a
// character typed into the title. Returns the names the user knows them by.
std::vector<std::string> markEverything(TestDesktop& d, const TweakPage& page) {
  if (std::string(page.name) == kTitlePage.name) {
    typeText(d, "Text1", "x");
    return {"IE标题栏文字"};
  }
  std::vector<std::string> names;
  for (int n = 1; n <= 7; ++n) {
    d.click(check(n));
    names.push_back(d.shown().c(check(n)).Caption());
  }
  return names;
}

std::size_t expectedWrites(const TweakPage& page) { return std::string(page.name) == kTitlePage.name ? 1 : 7; }

struct Breakage {
  const char* name;
  std::function<void(FakeRegistry&, bool broken)> apply;
  const char* why;  // in the warning
};

// Every write refused, or no shell object at all: one warning names every
// setting, nothing else is said to be saved, the page stays with its save
// button back to normal, and once the registry takes writes again the
// marks — kept through a back and a new visit — are all written.
TEST(FaultInjection, EveryWriteRefusedIsNamedInOneWarningAndTheMarksAreKept) {
  const std::vector<Breakage> breakages = {
      {"every write and delete refused",
       [](FakeRegistry& r, bool broken) {
         r.denied.clear();
         if (broken)
           for (const auto& path : tweakPaths()) r.denied.insert(path);
       },
       "拒绝访问"},
      {"no shell object for the save", [](FakeRegistry& r, bool broken) { r.failToCreate = broken; }, "无法创建"},
  };
  for (const auto& breakage : breakages) {
    for (const TweakPage& page : {kDesktopPage, kSecurityPage, kTitlePage}) {
      SCOPED_TRACE(std::string(breakage.name) + " on " + page.name);
      TestDesktop d;
      Form& form = open(d, page);
      const std::vector<std::string> names = markEverything(d, page);
      const auto valuesBefore = d.fake.registry.values;
      breakage.apply(d.fake.registry, true);
      save(d);

      EXPECT_EQ(d.fake.registry.values, valuesBefore);
      ASSERT_EQ(d.fake.messageBox.shown.size(), 1u);
      const ShownMessage& warning = d.fake.messageBox.shown[0];
      EXPECT_EQ(warning.title, "注意");
      EXPECT_EQ(warning.style, 48);
      for (const auto& setting : names) EXPECT_TRUE(mentions(warning.prompt, setting)) << setting;
      EXPECT_TRUE(mentions(warning.prompt, breakage.why));
      EXPECT_FALSE(mentions(warning.prompt, "其余设置已经保存"));
      ASSERT_EQ(d.shownName(), page.name);
      EXPECT_EQ(&d.shown(), &form);
      EXPECT_TRUE(form.c("Image1").Visible());
      EXPECT_FALSE(form.c("Image4").Visible());
      EXPECT_FALSE(form.c("save").Visible());

      breakage.apply(d.fake.registry, false);
      back(d);
      open(d, page);
      d.fake.registry.log.clear();
      save(d);
      EXPECT_EQ(d.fake.registry.changes().size(), expectedWrites(page));
      EXPECT_EQ(d.fake.messageBox.shown.size(), 1u);
      EXPECT_EQ(d.shownName(), "FormMain");
    }
  }
}

// Every read refused while the values are there: each page opens as if
// nothing were stored, and a save writes what the user chose over it.
TEST(FaultInjection, EveryReadRefusedCountsAsAbsentAndASaveStillWrites) {
  TestDesktop d;
  for (const auto& path : tweakPaths()) {
    d.fake.registry.values[path] = std::int64_t{1};
    d.fake.registry.unreadable.insert(path);
  }
  d.fake.registry.values[kDesktopPaths[0]] = std::int64_t{48};
  d.fake.registry.values[kTitlePath] = std::string("stored");

  open(d, kDesktopPage);
  d.click("Check1");  // shown unticked: the press ticks it
  save(d);
  EXPECT_EQ(d.fake.registry.changes(), (Log{text(kDesktopPaths[0], "48")}));

  open(d, kTitlePage);
  EXPECT_EQ(d.shown().c("Text1").Text(), "Windows Internet Explorer");
  typeText(d, "Text1", "!");
  d.fake.registry.log.clear();
  save(d);
  EXPECT_EQ(d.fake.registry.changes(), (Log{text(kTitlePath, "Windows Internet Explorer!")}));
  EXPECT_TRUE(d.fake.messageBox.shown.empty());
  EXPECT_EQ(d.shownName(), "FormMain");
}

// A settings store that cannot be opened reads as empty everywhere and
// loses its writes; the program is not told, so it goes on as with an empty
// store: the splash shows its first picture, the Pinnote page its defaults,
// and the Pinnote marks — which are never lowered — are written again by
// the next save once the store works.
TEST(FaultInjection, ASettingsStoreThatFailsReadsAsEmptyAndTheMarksOutliveIt) {
  TestDesktop d;
  d.fake.settings.values[{"Velmora", "VrOpt", "LoadPictureNumber"}] = "3";
  d.fake.settings.values[{"Velmora", "Pinnote", "Front"}] = "No";
  d.fake.settings.values[{"Velmora", "Pinnote", "Skin"}] = "2";
  d.fake.settings.values[{"Velmora", "Pinnote", "Color"}] = "R";
  const auto stored = d.fake.settings.values;
  d.fake.settings.failReads = true;
  d.fake.settings.refuseWrites = true;

  d.app.start();
  Form& splash = d.app.form(Screen::FormLoad);
  for (const char* picture : {"rnd2", "rnd3", "rnd4"}) EXPECT_FALSE(splash.c(picture).Visible()) << picture;
  d.startToMainWindow();
  ASSERT_EQ(d.shownName(), "FormMain");

  openTab(d, "DL", "DL2");
  Form& page = d.shown();
  ASSERT_EQ(page.name(), "DLB");
  EXPECT_EQ(page.c("Check1").Value(), 1);
  EXPECT_EQ(page.c("Option1").Value(), 1);
  EXPECT_EQ(page.c("COLOR").Caption(), "当前标题栏颜色：黑");
  d.click("Check1");
  d.click("skinimage2");
  d.click("GREEN");
  save(d);
  EXPECT_EQ(d.shownName(), "FormMain");
  EXPECT_EQ(d.fake.settings.values, stored);
  EXPECT_TRUE(d.fake.messageBox.shown.empty());

  d.fake.settings.failReads = false;
  d.fake.settings.refuseWrites = false;
  openTab(d, "DL", "DL2");
  save(d);
  EXPECT_EQ(d.fake.settings.stored("Pinnote", "Front"), "No");
  EXPECT_EQ(d.fake.settings.stored("Pinnote", "Skin"), "2");
  EXPECT_EQ(d.fake.settings.stored("Pinnote", "Color"), "R");
}

// Everything failing at once, Windows unknown included: every page still
// opens, the XP-only boxes are locked with the not-XP hint, a refused save
// keeps the page open, and the run ends only through the close picture.
TEST(FaultInjection, EverythingFailingAtOnceStillLeavesAWorkingProgram) {
  TestDesktop d;
  d.fake.osVersion.version = std::nullopt;
  for (const auto& path : tweakPaths()) {
    d.fake.registry.unreadable.insert(path);
    d.fake.registry.denied.insert(path);
  }
  d.fake.settings.failReads = true;
  d.fake.settings.refuseWrites = true;

  Form& desktop = open(d, kDesktopPage);
  for (int n = 1; n <= 7; ++n) EXPECT_EQ(desktop.c(check(n)).Enabled(), n == 3) << check(n);
  d.moveTo(backgroundPoint(desktop));
  EXPECT_EQ(desktop.c("Label1").Caption(), kNotXp);
  d.click("Check3");
  save(d);
  ASSERT_EQ(d.fake.messageBox.shown.size(), 1u);
  EXPECT_TRUE(mentions(d.fake.messageBox.shown[0].prompt, desktop.c("Check3").Caption()));
  EXPECT_EQ(d.shownName(), "Form1");
  closePage(d);

  Form& security = open(d, kSecurityPage);
  for (int n = 1; n <= 7; ++n) EXPECT_FALSE(security.c(check(n)).Enabled()) << check(n);
  back(d);
  open(d, kTitlePage);
  typeText(d, "Text1", "a");
  save(d);
  EXPECT_EQ(d.fake.messageBox.shown.size(), 2u);
  EXPECT_EQ(d.shownName(), "Form3");
  back(d);

  openTab(d, "DL", "DL2");
  EXPECT_EQ(d.shownName(), "DLB");
  save(d);
  EXPECT_EQ(d.shownName(), "FormMain");
  EXPECT_TRUE(d.fake.registry.changes().size() >= 2u);
  EXPECT_TRUE(d.fake.registry.values.empty());
  EXPECT_FALSE(d.app.ended());
  d.moveTo("Image2");
  d.click("Image3");
  EXPECT_TRUE(d.app.ended());
  for (const auto& message : d.fake.messageBox.shown) EXPECT_EQ(message.style, 48);
}

// The windows whose failure FailureTest does not meet: the other pages, each
// on its own way in, and the main window on every way back — after a save,
// what the save wrote stays written.
TEST(FaultInjection, AnyWindowThatCannotBeMadeEndsTheProgramWithOneMessage) {
  struct Case {
    const char* name;
    std::function<void(TestDesktop&)> before;
    const char* window;
    std::function<void(TestDesktop&)> act;
    std::map<std::string, RegValue> kept;  // registry values written before the failure
  };
  auto tab = [](const char* normal, const char* hover) {
    return [normal, hover](TestDesktop& d) { openTab(d, normal, hover); };
  };
  auto tile = [](const char* normal, const char* hover) {
    return [normal, hover](TestDesktop& d) { pushButton(d, normal, hover); };
  };
  auto start = [](TestDesktop& d) { d.startToMainWindow(); };
  const std::vector<Case> cases = {
      {"security page", start, "Form2", tile("Image6", "SYF"), {}},
      {"browser title page", start, "Form3", tile("Image8", "MSF"), {}},
      {"more page", start, "Form4", tile("Image10", "MF"), {}},
      {"help page", start, "Form5", tab("BZ", "BZ2"), {}},
      {"Pinnote page", start, "DLB", tab("DL", "DL2"), {}},
      {"main window after a save that wrote",
       [](TestDesktop& d) {
         open(d, kDesktopPage);
         d.click("Check3");
       },
       "FormMain", [](TestDesktop& d) { save(d); }, {{kDesktopPaths[2], std::int64_t{1}}}},
      {"main window after the help page's back picture",
       [](TestDesktop& d) {
         d.startToMainWindow();
         openTab(d, "BZ", "BZ2");
       },
       "FormMain", [](TestDesktop& d) { d.click("Image3"); }, {}},
      {"main window after the Pinnote page's close",
       [](TestDesktop& d) {
         d.startToMainWindow();
         openTab(d, "DL", "DL2");
       },
       "FormMain", [](TestDesktop& d) { closePage(d); }, {}},
      {"main window after the about page's arrow",
       [](TestDesktop& d) {
         d.startToMainWindow();
         openTab(d, "GY", "GY2");
       },
       "FormMain", [](TestDesktop& d) { d.click("Image5"); }, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestDesktop d;
    c.before(d);
    d.fake.windowing.failToCreate = {c.window};
    EXPECT_NO_THROW(c.act(d));

    ASSERT_NO_FATAL_FAILURE(expectEndedByOneStopMessage(d, c.window));
    EXPECT_EQ(d.fake.registry.values, c.kept);
    expectDeafAfterTheEnd(d);
  }
}

}  // namespace
}  // namespace velmora::testing
