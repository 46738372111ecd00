// The three tweak pages as they open: their controls, what their boxes and
// title box show for each stored value, the reads one opening makes, the
// hover texts, and the limits on a Windows other than XP.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <set>

#include "shell/framework/Skin.h"
#include "support/TweakProbe.h"

namespace velmora::testing {
namespace {

constexpr Colour kBlue = rgb(74, 114, 190);
constexpr Colour kFrameGreen = rgb(192, 255, 192);
constexpr Colour kFramePink = rgb(255, 128, 128);

struct Built {
  const char* control;
  ControlKind kind;
  const char* container;  // "" for the window
  double left, top, width, height;
  std::string caption;
  Colour fore;
  bool blueAtLoad;
};

struct PageBuild {
  TweakPage page;
  std::vector<Built> controls;
};

std::vector<Built> checkBoxes(const std::array<const char*, 7>& captions, const std::array<double, 7>& widths,
                              const std::array<double, 7>& heights) {
  std::vector<Built> boxes;
  for (int i = 0; i < 7; ++i)
    boxes.push_back({nullptr, ControlKind::CheckBox, "Frame1", 16, 24.0 + 24 * i, widths[i], heights[i],
                     captions[i], kWhite, true});
  return boxes;
}

std::vector<PageBuild> pageBuilds() {
  auto page = [](TweakPage p, Built frame, std::vector<Built> inside, std::vector<Built> description) {
    PageBuild build{p, {frame}};
    build.controls.insert(build.controls.end(), inside.begin(), inside.end());
    build.controls.insert(build.controls.end(), description.begin(), description.end());
    return build;
  };
  const Built frame2{"Frame2", ControlKind::Frame, "", 40, 264, 337, 73, "描述", kFramePink, true};
  auto label = [](const char* name, double top, double width, const std::string& caption) {
    return Built{name, ControlKind::Label, "Frame2", 16, top, width, top == 16 ? 33.0 : 17.0, caption, kWhite, true};
  };
  return {
      page(kDesktopPage, {"Frame1", ControlKind::Frame, "", 40, 56, 337, 201, "桌面", kFrameGreen, true},
           checkBoxes({"桌面图标放大", "删除快捷方式小箭头", "隐藏\"回收站\"", "隐藏\"网上邻居\"",
                       "隐藏\"我的电脑\"", "隐藏\"我的文档\"", "隐藏IE浏览器"},
                      {145, 145, 145, 145, 145, 145, 145}, {17, 17, 17, 17, 17, 17, 17}),
           {frame2, label("Label1", 16, 281, kChoose), label("Label2", 48, 289, kNote)}),
      page(kSecurityPage, {"Frame1", ControlKind::Frame, "", 40, 48, 337, 201, "安全", kFrameGreen, true},
           checkBoxes({"隐藏\"文件夹选项\"", "禁止IE下载文件", "禁用\"Internet选项\"", "禁用注册表",
                       "禁用\"运行\"", "禁止更改IE主页", "禁用任务管理器"},
                      {137, 129, 161, 129, 153, 129, 121}, {17, 17, 17, 17, 17, 15, 17}),
           {frame2, label("Label1", 16, 281, kChoose), label("Label2", 48, 257, kNote)}),
      page(kTitlePage, {"Frame1", ControlKind::Frame, "", 40, 48, 337, 201, "个性化", kFrameGreen, true},
           {{"Label1", ControlKind::Label, "Frame1", 16, 24, 97, 17, "IE标题栏文字：", kWhite, true},
            {"Text1", ControlKind::TextBox, "Frame1", 120, 21.33, 169, 18, "", kBlack, false}},
           {frame2, label("Label2", 16, 289, kChoose), label("Label3", 48, 289, kNote)}),
  };
}

const std::set<std::string> kSharedControls = {"Picture1", "Image2", "Image3", "Image1", "Image4",
                                               "save",     "Image5", "Image6", "back"};

TEST(TweakPageBuild, EachPageHasItsControlsWhereAndAsTheyAreDrawn) {
  for (const PageBuild& build : pageBuilds()) {
    SCOPED_TRACE(build.page.name);
    TestDesktop d;
    Form& page = open(d, build.page);

    std::set<std::string> expectedNames = kSharedControls;
    int box = 0;
    for (const Built& e : build.controls) {
      const std::string name = e.control ? e.control : check(++box);
      SCOPED_TRACE(name);
      expectedNames.insert(name);
      const Control* control = page.find(name);
      ASSERT_NE(control, nullptr);
      EXPECT_EQ(control->kind(), e.kind);
      EXPECT_EQ(containerOf(*control), e.container);
      EXPECT_EQ(control->leftTwips(), twips(e.left));
      EXPECT_EQ(control->topTwips(), twips(e.top));
      EXPECT_EQ(control->widthTwips(), twips(e.width));
      EXPECT_EQ(control->heightTwips(), twips(e.height));
      if (e.kind == ControlKind::TextBox) {
        EXPECT_EQ(control->Caption(), "");
      } else {
        EXPECT_EQ(control->Caption(), e.caption);
      }
      EXPECT_EQ(control->ForeColor(), e.fore);
      EXPECT_EQ(control->BackColor(), e.blueAtLoad ? std::optional<Colour>(kBlue) : std::nullopt);
      expectFont(*control, "微软雅黑", 9);
      EXPECT_TRUE(control->Visible());
      EXPECT_TRUE(control->Enabled());
    }
    std::set<std::string> names;
    for (const auto& control : page.controls()) names.insert(control->name());
    EXPECT_EQ(names, expectedNames);
    EXPECT_EQ(page.BackColor(), kRed);
    EXPECT_EQ(page.c("Picture1").BackColor(), std::optional<Colour>(kRed));
  }
}

TEST(TweakPageBuild, LoadColoursInOrderThenSetsUpTheSkin) {
  struct Case {
    TweakPage page;
    Log blueOrder;
  };
  const std::vector<Case> cases = {
      {kDesktopPage, {"Frame1", "Frame2", "Label1", "Label2", "Check1", "Check2", "Check3", "Check4", "Check5",
                      "Check6", "Check7", "Picture1"}},
      {kSecurityPage, {"Frame1", "Frame2", "Label1", "Label2", "Check1", "Check2", "Check3", "Check4", "Check5",
                       "Check6", "Check7", "Picture1"}},
      {kTitlePage, {"Frame1", "Frame2", "Label1", "Label2", "Label3", "Picture1"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.page.name);
    TestDesktop d;
    d.startToMainWindow();
    d.fake.windowing.changes.clear();
    open(d, c.page);
    // Changes made while the page loads, before the pointer does anything.
    Log changed;
    for (const auto& change : d.fake.windowing.changes) {
      const std::string prefix = std::string(c.page.name) + " ";
      if (change.rfind(prefix, 0) == 0) changed.push_back(change.substr(prefix.size()));
    }
    // Boxes ticked by the reads come first; from the first colour on, the
    // colours in order, then the skin's title bar and nothing else.
    const auto firstColour = std::find(changed.begin(), changed.end(), "Frame1");
    const Log colours(firstColour, changed.end());
    EXPECT_EQ(colours, c.blueOrder);
  }
}

TEST(TweakPageLoad, OneOpeningReadsEachValueOnceInThePagesOrder) {
  struct Case {
    TweakPage page;
    Log reads;
  };
  auto readOf = [](const std::string& path) { return "read " + path; };
  Log desktop{"create"};
  for (const auto& path : kDesktopPaths) desktop.push_back(readOf(path));
  Log security;
  for (int i : {0, 2, 1, 3, 4, 5, 6}) {
    security.push_back("create");
    security.push_back(readOf(kSecurityPaths[static_cast<std::size_t>(i)]));
  }
  const std::vector<Case> cases = {
      {kDesktopPage, desktop}, {kSecurityPage, security}, {kTitlePage, {"create", readOf(kTitlePath)}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.page.name);
    TestDesktop d;
    d.startToMainWindow();
    open(d, c.page);
    EXPECT_EQ(d.fake.registry.log, c.reads);
    // Back and close write nothing either.
    back(d);
    open(d, c.page);
    closePage(d);
    EXPECT_EQ(d.fake.registry.changes(), Log{});
  }
}

// What one stored value does to a box that is ticked when it reads as
// `target`; `stored` builds the value for that target.
struct TickCase {
  const char* name;
  std::function<std::optional<RegValue>(int target)> stored;
  bool ticks;
};

const std::vector<TickCase> kNumberTicks = {
    {"absent", [](int) { return std::nullopt; }, false},
    {"the number", [](int t) { return RegValue{std::int64_t{t}}; }, true},
    {"the number as text", [](int t) { return RegValue{std::to_string(t)}; }, true},
    {"the number as text with blanks", [](int t) { return RegValue{" " + std::to_string(t) + " "}; }, true},
    {"the number as decimal text", [](int t) { return RegValue{std::to_string(t) + ".0"}; }, true},
    {"zero", [](int) { return RegValue{std::int64_t{0}}; }, false},
    {"one more", [](int t) { return RegValue{std::int64_t{t + 1}}; }, false},
    {"empty text", [](int) { return RegValue{std::string()}; }, false},
    {"words", [](int) { return RegValue{std::string("yes")}; }, false},
    {"the number then words", [](int t) { return RegValue{std::to_string(t) + " px"}; }, false},
    {"a DWORD of all ones", [](int) { return RegValue{std::int64_t{0xFFFFFFFF}}; }, false},
    {"binary", [](int t) { return RegValue{RegOtherValue{"REG_BINARY", std::to_string(t) + " 00 00 00"}}; }, false},
    {"multi-string holding the number",
     [](int t) { return RegValue{RegOtherValue{"REG_MULTI_SZ", std::to_string(t)}}; }, false},
};

TEST(TweakPageLoad, ANumberBoxIsTickedExactlyWhenItsValueReadsAsItsNumber) {
  struct Box {
    TweakPage page;
    int box;
    std::string path;
    int target;
  };
  std::vector<Box> boxes = {{kDesktopPage, 1, kDesktopPaths[0], 48}};
  for (int i = 2; i < 7; ++i) boxes.push_back({kDesktopPage, i + 1, kDesktopPaths[static_cast<std::size_t>(i)], 1});
  for (int i = 0; i < 7; ++i) boxes.push_back({kSecurityPage, i + 1, kSecurityPaths[static_cast<std::size_t>(i)], 1});

  for (const TickCase& c : kNumberTicks) {
    SCOPED_TRACE(c.name);
    for (const TweakPage& page : {kDesktopPage, kSecurityPage}) {
      SCOPED_TRACE(page.name);
      TestDesktop d;
      for (const Box& b : boxes) {
        const auto value = c.stored(b.target);
        if (b.page.name == page.name && value) d.fake.registry.values[b.path] = *value;
      }
      Form& form = open(d, page);
      for (const Box& b : boxes)
        if (b.page.name == page.name) {
          EXPECT_EQ(form.c(check(b.box)).Value(), c.ticks ? 1 : 0) << check(b.box);
        }
    }
  }
}

TEST(TweakPageLoad, AnUnreadableValueLeavesItsBoxAsAnAbsentOneDoes) {
  TestDesktop d;
  for (const auto& path : kDesktopPaths) {
    d.fake.registry.values[path] = std::int64_t{1};
    d.fake.registry.unreadable.insert(path);
  }
  for (const auto& path : kSecurityPaths) {
    d.fake.registry.values[path] = std::int64_t{1};
    d.fake.registry.unreadable.insert(path);
  }
  Form& desktop = open(d, kDesktopPage);
  for (int n = 1; n <= 7; ++n) EXPECT_EQ(desktop.c(check(n)).Value(), n == 2 ? 1 : 0) << check(n);
  back(d);
  Form& security = open(d, kSecurityPage);
  for (int n = 1; n <= 7; ++n) EXPECT_EQ(security.c(check(n)).Value(), 0) << check(n);
}

TEST(TweakPageLoad, TheArrowBoxIsTickedWhileIsShortcutIsAbsentOrReadsZero) {
  struct Case {
    const char* name;
    std::optional<RegValue> stored;
    bool unreadable;
    bool ticks;
  };
  const std::vector<Case> cases = {
      {"absent", std::nullopt, false, true},
      {"empty text, as Windows keeps it", RegValue{std::string()}, false, false},
      {"the text 0", RegValue{std::string("0")}, false, true},
      {"the text 0 with a blank", RegValue{std::string(" 0")}, false, false},
      {"the number 0", RegValue{std::int64_t{0}}, false, true},
      {"other text", RegValue{std::string("yes")}, false, false},
      {"binary", RegValue{RegOtherValue{"REG_BINARY", "30 00"}}, false, false},
      {"multi-string holding 0", RegValue{RegOtherValue{"REG_MULTI_SZ", "0"}}, false, false},
      {"present but unreadable", RegValue{std::string()}, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestDesktop d;
    if (c.stored) d.fake.registry.values[kDesktopPaths[1]] = *c.stored;
    if (c.unreadable) d.fake.registry.unreadable.insert(kDesktopPaths[1]);
    EXPECT_EQ(open(d, kDesktopPage).c("Check2").Value(), c.ticks ? 1 : 0);
  }
}

TEST(TweakPageLoad, TheTitleBoxShowsTheStoredTitleOrTheStandardOne) {
  const std::string longTitle(100000, 'a');
  struct Case {
    const char* name;
    std::optional<RegValue> stored;
    bool unreadable;
    std::string shown;
  };
  const std::vector<Case> cases = {
      {"absent", std::nullopt, false, "Windows Internet Explorer"},
      {"a title", RegValue{std::string("我的浏览器 - IE")}, false, "我的浏览器 - IE"},
      {"empty", RegValue{std::string()}, false, ""},
      {"100,000 characters", RegValue{longTitle}, false, longTitle},
      {"a number", RegValue{std::int64_t{5}}, false, "5"},
      {"binary", RegValue{RegOtherValue{"REG_BINARY", "41 00"}}, false, "41 00"},
      {"unreadable", RegValue{std::string("hidden")}, true, "Windows Internet Explorer"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestDesktop d;
    if (c.stored) d.fake.registry.values[kTitlePath] = *c.stored;
    if (c.unreadable) d.fake.registry.unreadable.insert(kTitlePath);
    EXPECT_EQ(open(d, kTitlePage).c("Text1").Text(), c.shown);
  }
}

TEST(TweakPageLoad, WithoutAShellObjectEveryReadFailsAndThePageStillOpens) {
  TestDesktop d;
  d.fake.registry.failToCreate = true;
  for (const auto& path : kDesktopPaths) d.fake.registry.values[path] = std::int64_t{1};
  for (const auto& path : kSecurityPaths) d.fake.registry.values[path] = std::int64_t{1};
  d.fake.registry.values[kTitlePath] = std::string("stored");

  Form& desktop = open(d, kDesktopPage);
  for (int n = 1; n <= 7; ++n) EXPECT_EQ(desktop.c(check(n)).Value(), n == 2 ? 1 : 0) << check(n);
  back(d);
  Form& security = open(d, kSecurityPage);
  for (int n = 1; n <= 7; ++n) EXPECT_EQ(security.c(check(n)).Value(), 0) << check(n);
  back(d);
  EXPECT_EQ(open(d, kTitlePage).c("Text1").Text(), "Windows Internet Explorer");
  EXPECT_TRUE(d.fake.messageBox.shown.empty());
}

struct HoverCase {
  TweakPage page;
  const char* control;
  std::string description;
  std::string note;
};

TEST(TweakPageHover, EachBoxShowsItsOwnDescriptionAndNote) {
  const std::string restart = "您需要注意的是，本设置重启后才能生效。";
  const std::string refresh = "保存好以后，刷新桌面即可。";
  const std::string antivirus = "部分杀毒软件可能会报毒。";
  const std::vector<HoverCase> cases = {
      {kDesktopPage, "Check1", "\u3000\u3000本设置用于将您的桌面上的图标放大，当您的桌面文件太多时请勿使用此功能。",
       restart},
      {kDesktopPage, "Check2", "\u3000\u3000本设置用于将您的桌面上快捷方式图标的小箭头去掉。", restart},
      {kDesktopPage, "Check3", "本设置用于隐藏桌面上的 回收站 图标。", refresh},
      {kDesktopPage, "Check4", "本设置用于隐藏桌面上的 网上邻居 图标。", refresh},
      {kDesktopPage, "Check5", "本设置用于隐藏桌面上的 我的电脑 图标。", refresh},
      {kDesktopPage, "Check6", "本设置用于隐藏桌面上的 我的文档 图标。", refresh},
      {kDesktopPage, "Check7", "本设置用于隐藏桌面上的 IE浏览器 图标。", refresh},
      {kSecurityPage, "Check1", "本设置用于隐藏资源管理器中的 文件夹选项 。", antivirus},
      {kSecurityPage, "Check2", "\u3000\u3000设置后您无法使用IE浏览器从网页上下载文件至本地。", antivirus},
      {kSecurityPage, "Check3", "本设置用于禁用IE浏览器中的 Internet选项 。", antivirus},
      {kSecurityPage, "Check4", "本设置可以禁用注册表。", antivirus},
      {kSecurityPage, "Check5", "本设置用于禁用开始菜单中的 运行 。", "本设置重启后生效。"},
      {kSecurityPage, "Check6", "设置后您无法更改IE主页。", antivirus},
      {kSecurityPage, "Check7", "本设置用于禁用 任务管理器 。", antivirus},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.page.name) + " " + c.control);
    TestDesktop d;
    Form& page = open(d, c.page);
    d.moveTo(c.control);
    EXPECT_EQ(page.c("Label1").Caption(), c.description);
    EXPECT_EQ(page.c("Label2").Caption(), c.note);
    // The text stays while the pointer goes on to an area that sets none.
    d.moveTo("Label1");
    EXPECT_EQ(page.c("Label1").Caption(), c.description);
    d.moveTo("Frame1");
    EXPECT_EQ(page.c("Label1").Caption(), kChoose);
    EXPECT_EQ(page.c("Label2").Caption(), kNote);
  }
}

TEST(TweakPageHover, TheTitlePageShowsNoDescriptionsOfItsOwn) {
  TestDesktop d;
  Form& page = open(d, kTitlePage);
  page.c("Label2").setCaption("before");
  for (const char* control : {"Text1", "Label1", "Frame2", "Label2", "Label3"}) {
    d.moveTo(control);
    EXPECT_EQ(page.c("Label2").Caption(), "before") << control;
  }
  d.moveTo("Frame1");
  EXPECT_EQ(page.c("Label2").Caption(), kChoose);
  EXPECT_EQ(page.c("Label3").Caption(), kNote);
}

TEST(TweakPageLimits, OnlyAVersionBeginningWith51CountsAsXp) {
  struct Case {
    std::optional<std::string> version;
    bool xp;
  };
  const std::vector<Case> cases = {
      {"5.1.2600", true}, {"5.1", true},      {"5.10", true},       {"5.2.3790", false}, {"5.0.2195", false},
      {"6.0.6002", false}, {"6.1.7601", false}, {"10.0.19045", false}, {"", false},      {std::nullopt, false},
  };
  struct PageLimits {
    TweakPage page;
    const char* descriptionLabel;
    std::set<int> enabledUnlessXp;
  };
  const std::vector<PageLimits> pages = {
      {kDesktopPage, "Label1", {3}}, {kSecurityPage, "Label1", {}}, {kTitlePage, "Label2", {}}};

  for (const auto& c : cases) {
    for (const auto& p : pages) {
      SCOPED_TRACE(c.version.value_or("(unknown)") + " " + p.page.name);
      TestDesktop d;
      d.fake.osVersion.version = c.version;
      // Every box stored as ticked: the limits keep the ticks.
      for (const auto& path : kDesktopPaths) d.fake.registry.values[path] = std::int64_t{1};
      d.fake.registry.values[kDesktopPaths[0]] = std::int64_t{48};
      d.fake.registry.values[kDesktopPaths[1]] = std::string("0");
      for (const auto& path : kSecurityPaths) d.fake.registry.values[path] = std::int64_t{1};
      Form& page = open(d, p.page);

      if (p.page.name != kTitlePage.name) {
        for (int n = 1; n <= 7; ++n) {
          EXPECT_EQ(page.c(check(n)).Value(), 1) << check(n);
          EXPECT_EQ(page.c(check(n)).Enabled(), c.xp || p.enabledUnlessXp.count(n) > 0) << check(n);
        }
      } else {
        EXPECT_TRUE(page.c("Text1").Enabled());
      }
      // The hint shows only once the pointer rests on the page.
      EXPECT_EQ(page.c(p.descriptionLabel).Caption(), kChoose);
      d.moveTo(backgroundPoint(page));
      EXPECT_EQ(page.c(p.descriptionLabel).Caption(), c.xp ? kChoose : kNotXp);
    }
  }
}

TEST(TweakPageLimits, ALockedBoxShowsTheHintInsteadOfItsDescription) {
  for (const TweakPage& p : {kDesktopPage, kSecurityPage}) {
    SCOPED_TRACE(p.name);
    TestDesktop d;
    d.fake.osVersion.version = "6.1.7601";
    Form& page = open(d, p);
    const Rect box = page.c("Check1").formRect();
    d.moveTo(Point{box.left + box.width / 2, box.top + box.height / 2});
    EXPECT_EQ(page.c("Label1").Caption(), kNotXp);
    EXPECT_EQ(page.c("Label2").Caption(), kNote);
  }
}

}  // namespace
}  // namespace velmora::testing
