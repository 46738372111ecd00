// What a screen reader is told of each screen: one item per thing a user
// can press, type into or read, with its words, role and state, and the
// default action that does what a click does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/Gestures.h"
#include "support/ScreenProbe.h"
#include "support/TweakProbe.h"

namespace velmora::testing {
namespace {

// One item as read: "name|role|states" with the states that are set, in
// the order focused, focusable, unavailable, checked, read-only.
std::string read(const Form& form, int index) {
  static const char* kRoles[] = {"button", "link", "check", "radio", "text", "static", "graphic"};
  const ItemState s = form.itemState(index);
  std::string states;
  if (s.focused) states += " focused";
  if (s.focusable) states += " focusable";
  if (s.unavailable) states += " unavailable";
  if (s.checked) states += " checked";
  if (s.readOnly) states += " read-only";
  return form.itemName(index) + "|" + kRoles[static_cast<int>(form.items()[static_cast<std::size_t>(index)].role)] +
         "|" + states;
}

std::vector<std::string> readAll(const Form& form) {
  std::vector<std::string> all;
  for (std::size_t i = 0; i < form.items().size(); ++i) all.push_back(read(form, static_cast<int>(i)));
  return all;
}

TEST(AccessibleItems, EveryScreenReadsAsItsControlsWithTheirRolesAndStates) {
  struct Case {
    const char* screen;
    bool later;
    std::vector<std::string> items;
  };
  const std::string desc = "请您在上面的选项中进行选择。|static|";
  const std::string note = "更多功能？请期待新版本。。。|static|";
  const std::vector<Case> cases = {
      {"FormMain", false,
       {"桌面|button| focused focusable", "系统|button| focusable", "个性化|button| focusable",
        "更多|button| focusable", "Pinnote|button| focusable", "文本工具|button| focusable",
        "关于|button| focusable", "帮助|button| focusable", "最小化|button| focusable", "关闭|button| focusable"}},
      // Seeded: Shell Icon Size 48 (box 1) and the Recycle Bin hidden (box 3);
      // no IsShortcut value, so the arrow is gone (box 2).
      {"Form1", true,
       {"桌面图标放大|check| unavailable checked", "删除快捷方式小箭头|check| unavailable checked",
        "隐藏\"回收站\"|check| focused focusable checked", "隐藏\"网上邻居\"|check| unavailable",
        "隐藏\"我的电脑\"|check| unavailable", "隐藏\"我的文档\"|check| unavailable",
        "隐藏IE浏览器|check| unavailable", desc, note, "保存|button| focusable", "返回|button| focusable",
        "关闭|button| focusable"}},
      {"Form3", false,
       {"IE标题栏文字：|static|", "IE标题栏文字|text| focused focusable", desc, note, "保存|button| focusable",
        "返回|button| focusable", "关闭|button| focusable"}},
      {"DLB", false,
       {"阿狸便签皮肤|button|", "普通便签皮肤|button|", "阿狸便签|radio| focused focusable checked",
        "普通便签|radio| focusable", "敬请期待|radio| unavailable", "保持窗体最前|check| focusable checked",
        "当前标题栏颜色：黑|static|", "红|button| focusable", "绿|button| focusable", "黑|button| focusable", desc,
        note, "保存|button| focusable", "返回|button| focusable", "关闭|button| focusable"}},
      {"Form5", false,
       {"使用方法及原理|text| focused focusable read-only", "常见问题|text| focusable read-only",
        "返回|button| focusable", "关闭|button| focusable"}},
      {"Form6", false,
       {"文件保险箱|link| focused focusable", "Vaultick|button| focusable",
        "Velmora Studio 维尔莫拉工作室|link| focusable", "微言 micro.example.net|link| focusable",
        "收起|button| focusable"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.screen);
    TestDesktop d;
    if (c.later) d.fake.osVersion.version = "6.1.7601";
    d.fake.registry.values[kDesktopPaths[0]] = std::string("48");
    d.fake.registry.values[kDesktopPaths[2]] = std::int64_t{1};
    reach(d, c.screen);
    EXPECT_EQ(readAll(d.shown()), c.items);
  }
}

// A screen reader's default action does what a click does, and nothing on
// an item that cannot be used.
TEST(AccessibleItems, TheDefaultActionIsAClickAndALockedBoxRefusesIt) {
  TestDesktop d;
  d.fake.osVersion.version = "6.1.7601";
  d.startToMainWindow();
  Form& main = d.shown();
  EXPECT_EQ(main.itemAction(0), "按下");
  EXPECT_TRUE(main.doDefaultAction(0));  // 桌面
  EXPECT_EQ(d.shownName(), "Form1");
  Form& page = d.shown();
  const int locked = page.itemOf("Check1"), open = page.itemOf("Check3");
  EXPECT_FALSE(page.doDefaultAction(locked));
  EXPECT_EQ(page.c("Check1").Value(), 0);
  EXPECT_EQ(page.itemAction(open), "勾选");
  EXPECT_TRUE(page.doDefaultAction(open));
  EXPECT_EQ(page.c("Check3").Value(), 1);
  EXPECT_EQ(page.itemAction(open), "取消勾选");
  // The box it ticked is marked: the next save writes it.
  d.fake.registry.log.clear();
  save(d);
  EXPECT_EQ(d.fake.registry.changes(), (Log{dword(kDesktopPaths[2], 1)}));
}

}  // namespace
}  // namespace velmora::testing
