// Every screen by keyboard alone: where the focus is when a screen opens,
// where Tab and Shift+Tab take it, and what Space, Enter, Esc and the
// arrows do, through the same events as the mouse.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/Gestures.h"
#include "support/ScreenProbe.h"
#include "support/TweakProbe.h"

namespace velmora::testing {
namespace {

using Names = std::vector<std::string>;

// The focus after each of `count` presses of Tab (or Shift+Tab), the first
// entry being where it is before.
Names tabWalk(TestDesktop& d, int count, bool shift = false) {
  Names seen = {d.focused()};
  for (int i = 0; i < count; ++i) {
    EXPECT_TRUE(d.key(Key::Tab, shift));
    seen.push_back(d.focused());
  }
  return seen;
}

struct Order {
  const char* screen;
  bool later;  // a Windows other than XP: most tweak boxes locked
  Names stops;  // from the opening focus, in reading order
};

TEST(Keyboard, EveryScreenOpensOnItsFirstControlAndTabVisitsEveryControlInReadingOrder) {
  // A box is named here by its control and read as its caption.
  const Names page = {"保存", "返回", "关闭"};
  auto boxes = [&](std::vector<int> open) {
    Names names;
    for (int n : open) names.push_back(check(n));
    names.insert(names.end(), page.begin(), page.end());
    return names;
  };
  const std::vector<Order> orders = {
      {"FormMain", false,
       {"桌面", "系统", "个性化", "更多", "Pinnote", "文本工具", "关于", "帮助", "最小化", "关闭"}},
      {"Form1", false, boxes({1, 2, 3, 4, 5, 6, 7})},
      {"Form1", true, boxes({3})},
      {"Form2", false,
       boxes({1, 2, 3, 4, 5, 6, 7})},
      {"Form2", true, page},
      {"Form3", false, {"IE标题栏文字", "保存", "返回", "关闭"}},
      {"Form4", false, {"返回", "关闭"}},
      {"DLB", false,
       {"阿狸便签", "Check1", "红", "绿", "黑", "保存", "返回", "关闭"}},
      {"Form5", false,
       {"使用方法及原理", "常见问题", "返回", "关闭"}},
      {"Form6", false,
       {"文件保险箱", "Vaultick", "Velmora Studio 维尔莫拉工作室", "微言 micro.example.net", "收起"}},
  };
  for (const Order& order : orders) {
    SCOPED_TRACE(std::string(order.screen) + (order.later ? ", later Windows" : ""));
    TestDesktop d;
    if (order.later) d.fake.osVersion.version = "6.1.7601";
    reach(d, order.screen);
    Names stops = order.stops;
    for (std::string& name : stops)
      if (const Control* box = d.shown().find(name)) name = box->Caption();
    const int count = static_cast<int>(stops.size());
    Names forward = stops;
    forward.push_back(stops.front());  // and round again
    EXPECT_EQ(tabWalk(d, count), forward);
    Names backward = {stops.front()};
    for (int i = count - 1; i >= 0; --i) backward.push_back(stops[static_cast<std::size_t>(i)]);
    EXPECT_EQ(tabWalk(d, count, true), backward);
  }
}

// Tab until the named item has the focus.
void focusOn(TestDesktop& d, const std::string& name) {
  for (int i = 0; i < 40 && d.focused() != name; ++i) d.key(Key::Tab);
  if (d.focused() != name) throw std::logic_error(name + " never takes the focus");
}

// Space or Enter on a focused picture button is a left click: the same
// hover and pressed looks, the same switch, the same writes as the mouse's.
TEST(Keyboard, SpaceOrEnterOnAPictureButtonDoesWhatTheMouseDoes) {
  struct Case {
    const char* screen;
    const char* item;                         // as the keyboard reaches it
    std::function<void(TestDesktop&)> mouse;  // the same button with the mouse
  };
  auto push = [](const char* normal, const char* hover) {
    return [=](TestDesktop& d) { pushButton(d, normal, hover); };
  };
  auto tab = [](const char* normal, const char* hover) {
    return [=](TestDesktop& d) { openTab(d, normal, hover); };
  };
  auto clickOn = [](const char* control) { return [=](TestDesktop& d) { d.click(control); }; };
  const std::vector<Case> cases = {
      {"FormMain", "桌面", push("Image4", "DTF")},
      {"FormMain", "更多", push("Image10", "MF")},
      {"FormMain", "Pinnote", tab("DL", "DL2")},
      {"FormMain", "文本工具", tab("FE", "FE2")},
      {"FormMain", "帮助", tab("BZ", "BZ2")},
      {"FormMain", "最小化", clickOn("Image1")},
      {"FormMain", "关闭", [](TestDesktop& d) { closePage(d); }},
      {"Form1", "保存", [](TestDesktop& d) { save(d); }},
      {"Form1", "返回", [](TestDesktop& d) { back(d); }},
      {"Form1", "关闭", [](TestDesktop& d) { closePage(d); }},
      {"Form3", "保存", [](TestDesktop& d) { save(d); }},
      {"Form4", "返回", [](TestDesktop& d) { back(d); }},
      {"DLB", "红", clickOn("RED")},
      {"DLB", "关闭", [](TestDesktop& d) { closePage(d); }},
      {"Form5", "返回", clickOn("Image3")},
      {"Form5", "关闭", [](TestDesktop& d) {
         d.moveTo("Image1");
         d.click("Image2");
       }},
      {"Form6", "Velmora Studio 维尔莫拉工作室", clickOn("Image3")},
      {"Form6", "Vaultick", clickOn("Image2")},
      {"Form6", "收起", clickOn("Image5")},
  };
  for (const Case& c : cases) {
    // Enter on a swatch, a setting of the page, presses 保存 instead.
    const bool swatch = std::string(c.item) == "红";
    for (Key key : swatch ? std::vector<Key>{Key::Space} : std::vector<Key>{Key::Space, Key::Enter}) {
      SCOPED_TRACE(std::string(c.screen) + ", " + c.item + (key == Key::Space ? ", Space" : ", Enter"));
      // Something to write on the settings pages, so that a save shows.
      auto prepare = [&](TestDesktop& d) {
        reach(d, c.screen);
        if (std::string(c.screen) == "Form1") d.click("Check3");
        if (std::string(c.screen) == "Form3") typeText(d, "Text1", "T");
      };
      TestDesktop byMouse;
      prepare(byMouse);
      const Activity mouseBefore = activityOf(byMouse.fake);
      const std::size_t mouseWrites = byMouse.fake.registry.log.size();
      c.mouse(byMouse);
      TestDesktop byKey;
      prepare(byKey);
      const Activity keyBefore = activityOf(byKey.fake);
      const std::size_t keyWrites = byKey.fake.registry.log.size();
      focusOn(byKey, c.item);
      const Item item = byKey.shown().items()[static_cast<std::size_t>(byKey.shown().focusedItem())];
      // The looks the button's own pictures take, in order.
      auto looks = [&](const TestDesktop& d, std::size_t from) {
        Log seen;
        for (std::size_t i = from; i < d.fake.windowing.changes.size(); ++i)
          for (const std::string& part : item.parts)
            if (d.fake.windowing.changes[i] == std::string(c.screen) + " " + part) seen.push_back(part);
        return seen;
      };
      const std::size_t keyLooks = byKey.fake.windowing.changes.size();
      EXPECT_TRUE(byKey.key(key));
      EXPECT_EQ(looks(byKey, keyLooks), looks(byMouse, mouseBefore.changes.size()));
      const Activity mouse = activityOf(byMouse.fake), keyboard = activityOf(byKey.fake);
      EXPECT_EQ(Log(keyboard.windows.begin() + static_cast<long>(keyBefore.windows.size()), keyboard.windows.end()),
                Log(mouse.windows.begin() + static_cast<long>(mouseBefore.windows.size()), mouse.windows.end()));
      EXPECT_EQ(Log(byKey.fake.registry.log.begin() + static_cast<long>(keyWrites), byKey.fake.registry.log.end()),
                Log(byMouse.fake.registry.log.begin() + static_cast<long>(mouseWrites), byMouse.fake.registry.log.end()));
      EXPECT_EQ(keyboard.settings, mouse.settings);
      EXPECT_EQ(keyboard.messages, mouse.messages);
      EXPECT_EQ(keyboard.programsStarted, mouse.programsStarted);
    }
  }
}

// What the keys of a page do, from the focus the page opens with: the
// screen on view after them, and every write of the registry and the store.
TEST(Keyboard, KeysOfThePageSaveOrLeaveAsTheButtonsWould) {
  struct Case {
    const char* name;
    const char* screen;
    std::vector<Key> keys;
    const char* typed;  // typed into the title box first, if anything
    const char* after;  // the screen on view
    Log registry, store;
  };
  const std::string title = "Windows Internet Explorer";
  const std::vector<Case> cases = {
      {"Esc on the main window does nothing", "FormMain", {Key::Escape}, "", "FormMain", {}, {}},
      {"Esc after a box was ticked leaves the desktop page, writing nothing", "Form1", {Key::Space, Key::Escape}, "",
       "FormMain", {}, {}},
      {"Esc leaves the title page after typing, writing nothing", "Form3", {Key::Escape}, "abc", "FormMain", {}, {}},
      {"Esc leaves the Pinnote page after a new skin, writing nothing", "DLB", {Key::Right, Key::Escape}, "",
       "FormMain", {}, {}},
      {"Esc leaves the more page", "Form4", {Key::Escape}, "", "FormMain", {}, {}},
      {"Esc leaves the help page", "Form5", {Key::Escape}, "", "FormMain", {}, {}},
      {"Esc leaves the about page", "Form6", {Key::Escape}, "", "FormMain", {}, {}},
      {"Space ticks the focused box, Enter saves it", "Form1", {Key::Space, Key::Enter}, "", "FormMain",
       {writeOf(kDesktopPaths[0], "\"48\"", "REG_SZ")}, {}},
      {"a box ticked and unticked by Space is written as it shows", "Form2",
       {Key::Tab, Key::Tab, Key::Space, Key::Tab, Key::Space, Key::Space, Key::Enter}, "", "FormMain",
       {dword(kSecurityPaths[2], 1), dword(kSecurityPaths[3], 0)}, {}},
      {"Enter on 保存 saves what Space ticked", "Form2", {Key::Space, Key::Tab, Key::Tab, Key::Tab, Key::Tab,
       Key::Tab, Key::Tab, Key::Tab, Key::Enter}, "", "FormMain", {dword(kSecurityPaths[0], 1)}, {}},
      {"Enter on 返回 writes nothing", "Form2", {Key::Space, Key::Tab, Key::Tab, Key::Tab, Key::Tab, Key::Tab, Key::Tab,
       Key::Tab, Key::Tab, Key::Enter}, "", "FormMain", {}, {}},
      {"Enter in the title box without typing writes nothing", "Form3", {Key::Enter}, "", "FormMain", {}, {}},
      {"Enter in the title box after typing saves the title", "Form3", {Key::Enter}, "abc", "FormMain",
       {text(kTitlePath, title + "abc")}, {}},
      {"Pinnote: an arrow chooses the other skin, Space picks a colour, Enter saves both", "DLB",
       {Key::Right, Key::Tab, Key::Tab, Key::Space, Key::Enter}, "", "FormMain", {},
       {"save Pinnote\\Skin=2", "save Pinnote\\Color=R"}},
      {"Pinnote: Space on the front box, Enter saves it", "DLB", {Key::Tab, Key::Space, Key::Enter}, "", "FormMain",
       {}, {"save Pinnote\\Front=No"}},
      {"Pinnote: the arrows pass over the locked option", "DLB", {Key::Right, Key::Right, Key::Enter}, "", "FormMain",
       {}, {"save Pinnote\\Skin="}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestDesktop d;
    reach(d, c.screen);
    if (*c.typed) typeText(d, "Text1", c.typed);
    d.fake.registry.log.clear();
    d.fake.settings.log.clear();
    for (Key k : c.keys) EXPECT_TRUE(d.key(k));
    EXPECT_EQ(d.shownName(), c.after);
    EXPECT_EQ(d.fake.registry.changes(), c.registry);
    Log saved;
    for (const auto& entry : d.fake.settings.log)
      if (entry.rfind("save ", 0) == 0) saved.push_back(entry);
    EXPECT_EQ(saved, c.store);
  }
}

TEST(Keyboard, TheArrowsMoveBetweenTheTilesTwoByTwo) {
  TestDesktop d;
  d.startToMainWindow();
  Names seen = {d.focused()};
  for (Key k : {Key::Right, Key::Down, Key::Left, Key::Up, Key::Down, Key::Up}) {
    EXPECT_TRUE(d.key(k));
    seen.push_back(d.focused());
  }
  EXPECT_EQ(seen, (Names{"桌面", "系统", "更多", "个性化", "桌面", "个性化", "桌面"}));
  // Off the tiles the arrows do nothing.
  focusOn(d, "帮助");
  EXPECT_FALSE(d.key(Key::Left));
  EXPECT_EQ(d.focused(), "帮助");
}

// In a text box Space, the arrows and every character are the box's own:
// they type, move the caret or scroll. Enter, Esc and Tab never reach it.
TEST(Keyboard, TheTextBoxesKeepTheirOwnKeys) {
  for (const char* screen : {"Form3", "Form5"}) {
    SCOPED_TRACE(screen);
    TestDesktop d;
    reach(d, screen);
    for (Key k : {Key::Space, Key::Left, Key::Right, Key::Up, Key::Down}) EXPECT_FALSE(d.key(k));
    EXPECT_TRUE(d.key(Key::Tab));
  }
}

// A setting that gets the focus from the keyboard shows its description, as
// when the pointer rests on it; the focus cue shows after a key and goes
// with the next press of a mouse button.
TEST(Keyboard, TheFocusShowsItsDescriptionAndItsCueOnlyAfterAKey) {
  TestDesktop d;
  reach(d, "Form1");
  Form& page = d.shown();
  EXPECT_FALSE(page.focusCues());
  EXPECT_EQ(page.c("Label1").Caption(), kChoose);  // the opening focus changes nothing shown
  d.key(Key::Tab);
  EXPECT_TRUE(page.focusCues());
  d.moveTo("Check2");
  const std::string described = page.c("Label1").Caption();
  d.moveTo(backgroundPoint(page));
  d.key(Key::Tab);
  d.key(Key::Tab, true);
  EXPECT_EQ(d.focused(), page.c("Check2").Caption());
  EXPECT_EQ(page.c("Label1").Caption(), described);
  EXPECT_EQ(page.itemDescription(page.focusedItem()), described);
  d.moveTo("Check5");
  d.press();
  EXPECT_FALSE(page.focusCues());
  d.release();
  EXPECT_EQ(d.focused(), page.c("Check5").Caption());  // a click on a box takes the focus
}

}  // namespace
}  // namespace velmora::testing
