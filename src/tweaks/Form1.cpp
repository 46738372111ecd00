#include "tweaks/Form1.h"

#include "tweaks/RegHolder.h"

namespace velmora {

namespace {

// The descriptions of Check1 and Check2 open with two ideographic spaces.
const std::array<CheckBoxPage::Box, CheckBoxPage::kBoxCount> kBoxes = {{
     {.caption = "桌面图标放大",
      .width = 145, .height = 17,
      .description = "\u3000\u3000本设置用于将您的桌面上的图标放大，当您的桌面文件太多时请勿使用此功能。",
      .note = "您需要注意的是，本设置重启后才能生效。"},
     {.caption = "删除快捷方式小箭头",
      .width = 145, .height = 17,
      .description = "\u3000\u3000本设置用于将您的桌面上快捷方式图标的小箭头去掉。",
      .note = "您需要注意的是，本设置重启后才能生效。"},
     {.caption = "隐藏\"回收站\"",
      .width = 145, .height = 17,
      .description = "本设置用于隐藏桌面上的 回收站 图标。",
      .note = "保存好以后，刷新桌面即可。"},
     {.caption = "隐藏\"网上邻居\"",
      .width = 145, .height = 17,
      .description = "本设置用于隐藏桌面上的 网上邻居 图标。",
      .note = "保存好以后，刷新桌面即可。"},
     {.caption = "隐藏\"我的电脑\"",
      .width = 145, .height = 17,
      .description = "本设置用于隐藏桌面上的 我的电脑 图标。",
      .note = "保存好以后，刷新桌面即可。"},
     {.caption = "隐藏\"我的文档\"",
      .width = 145, .height = 17,
      .description = "本设置用于隐藏桌面上的 我的文档 图标。",
      .note = "保存好以后，刷新桌面即可。"},
     {.caption = "隐藏IE浏览器",
      .width = 145, .height = 17,
      .description = "本设置用于隐藏桌面上的 IE浏览器 图标。",
      .note = "保存好以后，刷新桌面即可。"},
}};

constexpr const char* kIconSize = "HKEY_CURRENT_USER\\Control Panel\\Desktop\\WindowMetrics\\Shell Icon Size";
// Present (normally empty) while shortcut icons carry the arrow.
constexpr const char* kShortcutArrow = "HKEY_CLASSES_ROOT\\lnkfile\\IsShortcut";

std::string hiddenIcon(const char* clsid) {
  return std::string(
             "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\HideDesktopIcons\\"
             "NewStartPanel\\") +
         clsid;
}

// Check3 to Check7: Recycle Bin, My Network Places, My Computer, My Documents,
// Internet Explorer.
const std::array<std::string, 5> kHiddenIcons = {
    hiddenIcon("{645FF040-5081-101B-9F08-00AA002F954E}"), hiddenIcon("{208D2C60-3AEA-1069-A2D7-08002B30309D}"),
    hiddenIcon("{20D04FE0-3AEA-1069-A2D8-08002B30309D}"), hiddenIcon("{450D8FBA-AD25-11D0-98A8-0800361B1103}"),
    hiddenIcon("{871C5380-42A0-1069-A2EA-08002B30309D}")};

}  // namespace

Form1::Form1(const FormContext& context)
    : CheckBoxPage(context, "Form1", "桌面及菜单", {.frameCaption = "桌面", .frameTop = 56, .noteWidth = 289},
                   kBoxes) {}

void Form1::Form_Load() {
  setDefaultHint(kChooseHint);
  // One shell object for all seven reads; a read that fails leaves its box
  // as the holder's start value says.
  const std::unique_ptr<RegistryShellObject> shell = services().registry.CreateObject();

  RegHolder iconSize;
  readInto(iconSize, shell.get(), kIconSize);
  if (equalsNumber(iconSize, 48)) box(0).setValue(1);

  // No IsShortcut value leaves the "0" marker: the arrow is already gone.
  RegHolder arrow = RegValue{std::string("0")};
  readInto(arrow, shell.get(), kShortcutArrow);
  if (equalsText(arrow, "0")) box(1).setValue(1);

  for (int i = 0; i < 5; ++i) {
    RegHolder hidden;
    readInto(hidden, shell.get(), kHiddenIcons[i]);
    if (equalsNumber(hidden, 1)) box(2 + i).setValue(1);
  }

  paintControlsBlue();
  SettingsPage::Form_Load();
  // Hiding the Recycle Bin works on every Windows; the rest only on XP.
  limitUnlessXp({0, 1, 3, 4, 5, 6});
}

RegResult<bool> Form1::writeBox(int index, bool ticked, RegistryShellObject& shell) {
  switch (index) {
    case 0:
      return shell.RegWrite(kIconSize, std::string(ticked ? "48" : "35"), "REG_SZ");
    case 1: {
      if (!ticked) return shell.RegWrite(kShortcutArrow, std::string(), "REG_SZ");
      RegResult<bool> deleted = shell.RegDelete(kShortcutArrow);
      // Already gone is what the box asks for.
      if (!deleted.ok() && deleted.error.kind == RegError::Kind::NotFound) return {true, {}};
      return deleted;
    }
    default:
      return shell.RegWrite(kHiddenIcons[static_cast<std::size_t>(index - 2)], std::int64_t{ticked ? 1 : 0},
                            "REG_DWORD");
  }
}

}  // namespace velmora
