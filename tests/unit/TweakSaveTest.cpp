// Saving the tweak pages: which settings a save writes, with what, in which
// order; which user actions mark a setting; flags that outlive a visit; and
// a save where some settings cannot be written.
#include <gtest/gtest.h>

#include <functional>

#include "support/TweakProbe.h"

namespace velmora::testing {
namespace {

void clickEveryBox(TestDesktop& d) {
  for (int n = 1; n <= 7; ++n) d.click(check(n));
}

Log dwords(const std::array<std::string, 7>& paths, int from, int value) {
  Log writes;
  for (std::size_t i = static_cast<std::size_t>(from); i < 7; ++i) {
    writes.push_back("create");
    writes.push_back(dword(paths[i], value));
  }
  return writes;
}

Log joined(std::initializer_list<Log> parts) {
  Log all;
  for (const Log& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

TEST(TweakSave, DesktopPageWritesEachPressedBoxByItsRule) {
  struct Case {
    const char* name;
    std::map<std::string, RegValue> stored;
    Log calls;
    std::optional<RegValue> isShortcutAfter;
  };
  std::map<std::string, RegValue> allOn = {{kDesktopPaths[0], std::string("48")}};
  for (std::size_t i = 2; i < 7; ++i) allOn[kDesktopPaths[i]] = std::int64_t{1};
  const std::map<std::string, RegValue> allOff = {{kDesktopPaths[1], std::string()}};
  const std::vector<Case> cases = {
      {"every box unticked",
       allOn,
       joined({{"create", text(kDesktopPaths[0], "35"), "create", text(kDesktopPaths[1], "")},
               dwords(kDesktopPaths, 2, 0)}),
       RegValue{std::string()}},
      {"every box ticked",
       allOff,
       joined({{"create", text(kDesktopPaths[0], "48"), "create", "delete " + kDesktopPaths[1]},
               dwords(kDesktopPaths, 2, 1)}),
       std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestDesktop d;
    d.fake.registry.values = c.stored;
    open(d, kDesktopPage);
    clickEveryBox(d);
    d.fake.registry.log.clear();
    save(d);
    EXPECT_EQ(d.fake.registry.log, c.calls);
    EXPECT_EQ(d.shownName(), "FormMain");
    EXPECT_TRUE(d.fake.messageBox.shown.empty());
    const auto isShortcut = d.fake.registry.values.find(kDesktopPaths[1]);
    EXPECT_EQ(isShortcut == d.fake.registry.values.end() ? std::nullopt : std::optional(isShortcut->second),
              c.isShortcutAfter);
  }
}

TEST(TweakSave, SecurityPageWritesInBoxOrderWhateverOrderItReads) {
  TestDesktop d;
  d.fake.registry.values[kSecurityPaths[2]] = std::int64_t{1};
  open(d, kSecurityPage);
  for (int n : {7, 3, 1, 5}) d.click(check(n));
  d.fake.registry.log.clear();
  save(d);
  EXPECT_EQ(d.fake.registry.log,
            (Log{"create", dword(kSecurityPaths[0], 1), "create", dword(kSecurityPaths[2], 0), "create",
                 dword(kSecurityPaths[4], 1), "create", dword(kSecurityPaths[6], 1)}));
  EXPECT_EQ(d.shownName(), "FormMain");
}

// A left press marks a box, and so does a change from the keyboard: a box
// ticked with the space bar and saved is written, as the user expects.
TEST(TweakSave, ALeftPressOrTheKeyboardMarksABoxAndNothingElseDoes) {
  struct Case {
    const char* name;
    std::function<void(TestDesktop&)> act;
    int shown;        // the box's tick before the save
    int written;      // -1: not written
  };
  const std::vector<Case> cases = {
      {"left click", [](TestDesktop& d) { d.click("Check4"); }, 1, 1},
      {"left click twice",
       [](TestDesktop& d) {
         d.click("Check4");
         d.click("Check4");
       },
       0, 0},
      {"left press released off the box",
       [](TestDesktop& d) {
         d.moveTo("Check4");
         d.press();
         d.moveTo(backgroundPoint(d.shown()), button::kLeft);
         d.release();
       },
       0, 0},
      {"right click", [](TestDesktop& d) { d.click("Check4", button::kRight); }, 0, -1},
      {"middle click", [](TestDesktop& d) { d.click("Check4", button::kMiddle); }, 0, -1},
      {"space bar", [](TestDesktop& d) { d.space("Check4"); }, 1, 1},
      {"space bar twice", [](TestDesktop& d) { d.space("Check4"); d.space("Check4"); }, 0, 0},
      {"pointer only", [](TestDesktop& d) { d.moveTo("Check4"); }, 0, -1},
  };
  for (const TweakPage& page : {kDesktopPage, kSecurityPage}) {
    const auto& paths = page.name == kDesktopPage.name ? kDesktopPaths : kSecurityPaths;
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(page.name) + ", " + c.name);
      TestDesktop d;
      open(d, page);
      c.act(d);
      EXPECT_EQ(d.shown().c("Check4").Value(), c.shown);
      d.fake.registry.log.clear();
      save(d);
      EXPECT_EQ(d.fake.registry.changes(), (c.written < 0 ? Log{} : Log{dword(paths[3], c.written)}));
    }
  }
}

TEST(TweakSave, NothingMarkedWritesNothingAndStillReturns) {
  for (const TweakPage& page : {kDesktopPage, kSecurityPage, kTitlePage}) {
    SCOPED_TRACE(page.name);
    TestDesktop d;
    open(d, page);
    d.fake.registry.log.clear();
    d.fake.windowing.log.clear();
    save(d, button::kRight);
    EXPECT_EQ(d.fake.registry.log, Log{});
    EXPECT_EQ(d.fake.windowing.log,
              (Log{"hide " + std::string(page.name), "destroy " + std::string(page.name), "create FormMain",
                   "show FormMain"}));
    EXPECT_TRUE(d.fake.registry.values.empty());
  }
}

// A mark made on a visit that ended without a save is written by the next
// save, with what that later visit loaded; the save then lowers it.
TEST(TweakSave, MarksOutliveAVisitLeftByBackOrClose) {
  struct Page {
    TweakPage page;
    std::function<void(TestDesktop&)> mark;
    std::function<void(TestDesktop&)> storeElsewhere;  // between the visits
    Log written;
  };
  const std::vector<Page> pages = {
      {kDesktopPage, [](TestDesktop& d) { d.click("Check4"); },
       [](TestDesktop& d) { d.fake.registry.values[kDesktopPaths[3]] = std::int64_t{0}; },
       {dword(kDesktopPaths[3], 0)}},
      {kSecurityPage, [](TestDesktop& d) { d.click("Check4"); },
       [](TestDesktop& d) { d.fake.registry.values[kSecurityPaths[3]] = std::int64_t{0}; },
       {dword(kSecurityPaths[3], 0)}},
      {kTitlePage, [](TestDesktop& d) { typeText(d, "Text1", "abc"); }, [](TestDesktop&) {},
       {text(kTitlePath, "Windows Internet Explorer")}},
  };
  const std::vector<std::pair<const char*, std::function<void(TestDesktop&)>>> leaving = {
      {"back", back}, {"close", closePage}};
  for (const auto& p : pages) {
    for (const auto& [how, leave] : leaving) {
      SCOPED_TRACE(std::string(p.page.name) + " left by " + how);
      TestDesktop d;
      open(d, p.page);
      p.mark(d);
      leave(d);
      EXPECT_EQ(d.fake.registry.changes(), Log{});
      p.storeElsewhere(d);
      open(d, p.page);
      save(d);
      EXPECT_EQ(d.fake.registry.changes(), p.written);
      // The save lowered the mark: the next one writes nothing.
      d.fake.registry.log.clear();
      open(d, p.page);
      save(d);
      EXPECT_EQ(d.fake.registry.changes(), Log{});
    }
  }
}

TEST(TweakSave, EarlierMarksAndNewOnesAreWrittenTogetherInBoxOrder) {
  TestDesktop d;
  open(d, kDesktopPage);
  d.click("Check6");
  back(d);
  open(d, kDesktopPage);
  d.click("Check3");
  save(d);
  EXPECT_EQ(d.fake.registry.changes(), (Log{dword(kDesktopPaths[2], 1), dword(kDesktopPaths[5], 0)}));
}

TEST(TweakSave, TheTitleIsWrittenOnlyAfterACharacterWasTyped) {
  struct Case {
    const char* name;
    std::function<void(TestDesktop&)> edit;
    std::optional<std::string> written;
  };
  const std::vector<Case> cases = {
      {"nothing typed", [](TestDesktop&) {}, std::nullopt},
      {"a character added", [](TestDesktop& d) { typeKey(d, "Text1", '!'); }, "Old!"},
      {"a character typed and taken back",
       [](TestDesktop& d) {
         typeKey(d, "Text1", 'x');
         typeKey(d, "Text1", '\b');
       },
       "Old"},
      {"cleared with Backspace", [](TestDesktop& d) { typeText(d, "Text1", "\b\b\b"); }, ""},
      {"changed without a character (Delete key, pasted from the menu)",
       [](TestDesktop& d) { d.shown().c("Text1").setText("Pasted"); }, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestDesktop d;
    d.fake.registry.values[kTitlePath] = std::string("Old");
    open(d, kTitlePage);
    c.edit(d);
    save(d);
    EXPECT_EQ(d.fake.registry.changes(), (c.written ? Log{text(kTitlePath, *c.written)} : Log{}));
    EXPECT_EQ(d.fake.registry.values[kTitlePath], RegValue{c.written.value_or("Old")});
    EXPECT_EQ(d.shownName(), "FormMain");
  }
}

TEST(TweakSave, WithoutAStoredTitleAndWithoutTypingTheTitleStaysAbsent) {
  TestDesktop d;
  open(d, kTitlePage);
  save(d);
  EXPECT_EQ(d.fake.registry.values.count(kTitlePath), 0u);
}

TEST(TweakSave, DeletingAnIsShortcutThatIsAlreadyGoneIsASuccess) {
  TestDesktop d;
  open(d, kDesktopPage);  // no IsShortcut: the box shows ticked
  d.click("Check2");
  d.click("Check2");
  save(d);
  EXPECT_EQ(d.fake.registry.changes(), (Log{"delete " + kDesktopPaths[1]}));
  EXPECT_TRUE(d.fake.messageBox.shown.empty());
  EXPECT_EQ(d.shownName(), "FormMain");
}

// A setting that cannot be written: the others are written, one warning
// names what was not written and why, the page stays with its marks, and a
// later save writes what is left.
TEST(TweakSaveFailure, TheRestIsWrittenAndOneWarningNamesWhatWasNot) {
  struct Case {
    const char* name;
    TweakPage page;
    std::function<void(TestDesktop&)> seed;
    std::function<void(TestDesktop&)> mark;
    std::function<void(FakeRegistry&, bool broken)> breakIt;
    Log firstSave;
    std::vector<std::string> named;      // in the warning
    std::vector<std::string> notNamed;
    Log secondSave;
    Log secondSaveOnANewVisit;  // with what that visit loaded
  };
  const std::vector<Case> cases = {
      {"IsShortcut refused, as on a later Windows without administrator rights", kDesktopPage,
       [](TestDesktop& d) { d.fake.registry.values[kDesktopPaths[1]] = std::string(); },
       [](TestDesktop& d) {
         for (const char* box : {"Check1", "Check2", "Check3"}) d.click(box);
       },
       [](FakeRegistry& r, bool broken) {
         r.denied.clear();
         if (broken) r.denied.insert(kDesktopPaths[1]);
       },
       {text(kDesktopPaths[0], "48"), "delete " + kDesktopPaths[1], dword(kDesktopPaths[2], 1)},
       {"删除快捷方式小箭头", "拒绝访问", "其余设置已经保存"},
       {"桌面图标放大", "隐藏\"回收站\""},
       {"delete " + kDesktopPaths[1]},
       {text(kDesktopPaths[1], "")}},
      {"no shell object", kSecurityPage, [](TestDesktop&) {},
       [](TestDesktop& d) {
         d.click("Check1");
         d.click("Check5");
       },
       [](FakeRegistry& r, bool broken) { r.failToCreate = broken; }, {},
       {"隐藏\"文件夹选项\"", "禁用\"运行\"", "无法创建"},
       {"其余设置已经保存"},
       {dword(kSecurityPaths[0], 1), dword(kSecurityPaths[4], 1)},
       {dword(kSecurityPaths[0], 0), dword(kSecurityPaths[4], 0)}},
      {"title refused", kTitlePage, [](TestDesktop&) {},
       [](TestDesktop& d) { typeText(d, "Text1", "!"); },
       [](FakeRegistry& r, bool broken) {
         r.denied.clear();
         if (broken) r.denied.insert(kTitlePath);
       },
       {text(kTitlePath, "Windows Internet Explorer!")},
       {"IE标题栏文字", "拒绝访问"},
       {"其余设置已经保存"},
       {text(kTitlePath, "Windows Internet Explorer!")},
       {text(kTitlePath, "Windows Internet Explorer")}},
  };
  for (const auto& c : cases) {
    for (bool leaveBetween : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (leaveBetween ? ", page left by back in between" : ""));
      TestDesktop d;
      c.seed(d);
      Form& page = open(d, c.page);
      c.mark(d);
      c.breakIt(d.fake.registry, true);
      d.fake.registry.log.clear();
      save(d);

      EXPECT_EQ(d.fake.registry.changes(), c.firstSave);
      ASSERT_EQ(d.fake.messageBox.shown.size(), 1u);
      const ShownMessage& warning = d.fake.messageBox.shown[0];
      EXPECT_EQ(warning.title, "注意");
      EXPECT_EQ(warning.style, 48);
      for (const auto& words : c.named) EXPECT_NE(warning.prompt.find(words), std::string::npos) << words;
      for (const auto& words : c.notNamed) EXPECT_EQ(warning.prompt.find(words), std::string::npos) << words;
      ASSERT_EQ(d.shownName(), c.page.name);
      EXPECT_TRUE(page.c("Image1").Visible());
      EXPECT_FALSE(page.c("save").Visible());
      EXPECT_FALSE(page.c("Image4").Visible());

      c.breakIt(d.fake.registry, false);
      if (leaveBetween) {
        back(d);
        open(d, c.page);
      }
      d.fake.registry.log.clear();
      save(d);
      EXPECT_EQ(d.fake.registry.changes(), leaveBetween ? c.secondSaveOnANewVisit : c.secondSave);
      EXPECT_EQ(d.fake.messageBox.shown.size(), 1u);
      EXPECT_EQ(d.shownName(), "FormMain");
    }
  }
}

}  // namespace
}  // namespace velmora::testing
