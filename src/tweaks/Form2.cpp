#include "tweaks/Form2.h"

#include "tweaks/RegHolder.h"

namespace velmora {

namespace {

// The description of Check2 opens with two ideographic spaces.
const std::array<CheckBoxPage::Box, CheckBoxPage::kBoxCount> kBoxes = {{
     {.caption = "隐藏\"文件夹选项\"",
      .width = 137, .height = 17,
      .description = "本设置用于隐藏资源管理器中的 文件夹选项 。",
      .note = "部分杀毒软件可能会报毒。"},
     {.caption = "禁止IE下载文件",
      .width = 129, .height = 17,
      .description = "\u3000\u3000设置后您无法使用IE浏览器从网页上下载文件至本地。",
      .note = "部分杀毒软件可能会报毒。"},
     {.caption = "禁用\"Internet选项\"",
      .width = 161, .height = 17,
      .description = "本设置用于禁用IE浏览器中的 Internet选项 。",
      .note = "部分杀毒软件可能会报毒。"},
     {.caption = "禁用注册表",
      .width = 129, .height = 17,
      .description = "本设置可以禁用注册表。",
      .note = "部分杀毒软件可能会报毒。"},
     {.caption = "禁用\"运行\"",
      .width = 153, .height = 17,
      .description = "本设置用于禁用开始菜单中的 运行 。",
      .note = "本设置重启后生效。"},
     {.caption = "禁止更改IE主页",
      .width = 129, .height = 15,
      .description = "设置后您无法更改IE主页。",
      .note = "部分杀毒软件可能会报毒。"},
     {.caption = "禁用任务管理器",
      .width = 121, .height = 17,
      .description = "本设置用于禁用 任务管理器 。",
      .note = "部分杀毒软件可能会报毒。"},
}};

const std::array<std::string, CheckBoxPage::kBoxCount> kPolicies = {
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\NoFolderOptions",
    "HKEY_CURRENT_USER\\Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions\\NoSelectDownloadDir",
    "HKEY_CURRENT_USER\\Software\\Policies\\Microsoft\\Internet Explorer\\Restrictions\\NoBrowserOptions",
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System\\DisableRegistryTools",
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer\\NoRun",
    "HKEY_CURRENT_USER\\Software\\Policies\\Microsoft\\Internet Explorer\\Control Panel\\HomePage",
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System\\DisableTaskMgr",
};

}  // namespace

Form2::Form2(const FormContext& context)
    : CheckBoxPage(context, "Form2", "系统", {.frameCaption = "安全", .frameTop = 48, .noteWidth = 257}, kBoxes) {}

void Form2::Form_Load() {
  setDefaultHint(kChooseHint);
  // Each policy with a shell object of its own; the second and third are
  // read the other way round.
  for (int index : {0, 2, 1, 3, 4, 5, 6}) {
    const std::unique_ptr<RegistryShellObject> shell = services().registry.CreateObject();
    RegHolder policy;
    readInto(policy, shell.get(), kPolicies[static_cast<std::size_t>(index)]);
    if (equalsNumber(policy, 1)) box(index).setValue(1);
  }
  paintControlsBlue();
  SettingsPage::Form_Load();
  limitUnlessXp({0, 1, 2, 3, 4, 5, 6});
}

RegResult<bool> Form2::writeBox(int index, bool ticked, RegistryShellObject& shell) {
  return shell.RegWrite(kPolicies[static_cast<std::size_t>(index)], std::int64_t{ticked ? 1 : 0}, "REG_DWORD");
}

}  // namespace velmora
